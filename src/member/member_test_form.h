#pragma once
#include <cstdint>
#include <string>

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace member {

// The card family a channel text names: exactly "酒店会员卡" is the hotel's
// own member card (-1); any other text, typed or chosen, is the alliance
// card (11).
std::int32_t ChannelFromText(const std::string& text);

// Lets the operator drive the member card device by hand: open and close its
// port, beep, read a card and write a card number, for either card family.
// Nothing is shown or logged; the edits show what the device left. Every
// device call holds shell::RequestLock. Main thread only; one showing.
class TMemberTestForm : public QDialog {
  Q_OBJECT

 public:
  explicit TMemberTestForm(QWidget* owner = nullptr);

  QPushButton* OpenPortBtn;
  QPushButton* ClosePortBtn;
  QLineEdit* CardNoEdit;
  QLineEdit* PasswordEdit;
  QPushButton* ReadCardBtn;
  QPushButton* WriteCardBtn;
  QPushButton* beepBtn;
  QComboBox* ChannelCmb;

 private:
  void ReadCardBtnClick();
  void WriteCardBtnClick();
};

// Creates the dialog without an owner, shows it modally and destroys it.
void ShowMemberTest();

}  // namespace member
