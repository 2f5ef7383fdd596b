#pragma once
#include <string>

#include <QDialog>
#include <QPixmap>

class QLabel;
class QLineEdit;
class QPushButton;

namespace settings {

// The administrator password prompt that guards the settings command, the
// password change and the closing of the main window. Closes with Accepted
// only for the password in SysOption; a wrong one keeps it open for another
// try. Main thread only; lives for one showing.
class TCheckPasswordForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCheckPasswordForm(QWidget* owner = nullptr);

  QLabel* Image1;
  QLineEdit* edtPswd;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 private:
  void btnOKClick();
};

// Shows the prompt modally over owner; true when the right password was
// given, false on Cancel, Escape or the frame's close button.
bool CheckAdminPassword(QWidget* owner = nullptr);

// A password as typed into an edit: blanks and control characters before
// and after it do not count, those inside it do.
std::string PasswordEntry(const QString& text);

// The key drawn on the two password dialogs.
QPixmap KeyPicture(int size);

}  // namespace settings
