#pragma once
#include <string>

#include <QMainWindow>

#include "doorlock/base_doorlock.h"
#include "platform/transcript.h"
#include "shell/interface_server.h"

class QAction;
class QCloseEvent;
class QLabel;
class QPlainTextEdit;
class QToolBar;

namespace shell {

// The server's one main window: its life is the listener's life. Creation
// titles it after InterfaceKind and starts the listener, destruction stops
// it; closing needs the administrator password. Offers the five commands
// (settings, test, password change, About, exit) and shows the listener's
// start and stop lines in InfoMemo. Main thread only; no request touches it.
class TMainForm : public QMainWindow, public platform::TTranscript {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // The transcript: one line at the end of InfoMemo.
  void AddLine(const std::string& line) override;

  // Shows the window and returns once it has closed.
  void ShowModal();

  QAction* OptionAction;
  QAction* TestAction;
  QAction* ChangePasswordAction;
  QAction* AboutAction;
  QAction* ExitAction;
  QToolBar* ToolBar;
  QPlainTextEdit* InfoMemo;
  QLabel* EncoderLabel;

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormDestroy();
  bool FormCloseQuery();
  void OptionActionExecute();
  void TestActionExecute();
  void ChangePasswordActionExecute();
  void AboutActionExecute();
  void ExitActionExecute();

  TInterfaceServer TCPServer;
};

// The window while RunInterface runs it; null otherwise.
extern TMainForm* MainForm;

// Runs the door-lock interface: selects the door-lock kind, stores the
// device in Doorlock when it is not null, runs the main window until it
// closes and destroys it (which stops the listener). Does not open, close
// or destroy the device.
void RunInterface(doorlock::TBaseDoorlock* device);

// Runs the main window for the kind already selected, as RunInterface does
// after its choice; the police and member card start-ups use it.
void RunMainForm();

// The text the police Test command shows when the device has no guest.
inline constexpr const char* kNoGuestText = "当前没有客人记录";

}  // namespace shell
