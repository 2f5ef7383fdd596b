#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace settings {

// Changes the administrator password: the new password typed twice is
// stored in SysOption and saved to Option.ini with all its keys. Main
// thread only; lives for one showing.
class TChangePasswordForm : public QDialog {
  Q_OBJECT

 public:
  explicit TChangePasswordForm(QWidget* owner = nullptr);

  QLabel* Image1;
  QLineEdit* edtPswd;
  QLineEdit* edtConfirmPswd;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 private:
  void btnOKClick();
};

// Shows the dialog modally over owner. The caller has asked for the old
// password already.
void ShowChangePassword(QWidget* owner = nullptr);

}  // namespace settings
