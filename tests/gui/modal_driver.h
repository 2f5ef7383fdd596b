#pragma once
#include <deque>
#include <functional>
#include <vector>

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

namespace gui_testing {

// Answers the modal dialogs a window opens with exec(), so no test ever
// waits on one: a short timer looks for the active modal widget and hands
// it to the next queued answer, from the event loop, so an answer may
// itself open a nested modal that the next answer takes. A modal with no
// answer left is rejected and counted in Unexpected.
class ModalDriver : public QObject {
 public:
  using Answer = std::function<void(QWidget* modal)>;

  struct Seen {
    QString ClassName;  // the form's class, or QMessageBox
    QString Title;
    QString Text;  // a message box's text, empty otherwise
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
  };

  ModalDriver();

  ModalDriver& Then(Answer answer);
  std::size_t Pending() const { return Answers_.size(); }

  std::vector<Seen> Shown;
  int Unexpected = 0;

 private:
  void Poll();

  QTimer Timer_;
  std::deque<Answer> Answers_;
  bool Busy_ = false;
};

// Answers.
void ClickButton(QWidget* modal, const char* objectName);
void ClickOk(QWidget* modal);  // a message box's OK
void Reject(QWidget* modal);
// Types the text into the edit (replacing what was there).
void Type(QWidget* modal, const char* objectName, const QString& text);

// A child widget by object name; fails the test when it is missing.
QWidget* Child(QWidget* parent, const char* objectName);

}  // namespace gui_testing

namespace gui_testing {

// The object names of the widgets Tab visits, in order, from the first.
std::vector<QString> TabOrder(QWidget* form);

}  // namespace gui_testing
