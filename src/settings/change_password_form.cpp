#include "settings/change_password_form.h"

#include <mutex>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "settings/check_password_form.h"
#include "settings/sys_option.h"
#include "shell/error_report.h"
#include "shell/globals.h"

namespace settings {

TChangePasswordForm::TChangePasswordForm(QWidget* owner) : QDialog(owner) {
  setObjectName("ChangePasswordForm");
  setWindowTitle("更改管理员密码");
  setFont(QFont("宋体", 9));
  setFixedSize(346, 163);
  // A fixed dialog: a close button, nothing to minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(16, 20, 48, 48);
  Image1->setPixmap(KeyPicture(48));

  auto* label1 = new QLabel("新密码：", this);
  label1->setObjectName("Label1");
  label1->setGeometry(80, 28, 84, 18);
  edtPswd = new QLineEdit(this);
  edtPswd->setObjectName("edtPswd");
  edtPswd->setGeometry(166, 25, 160, 22);
  edtPswd->setEchoMode(QLineEdit::Password);
  label1->setBuddy(edtPswd);

  auto* label2 = new QLabel("新密码确认：", this);
  label2->setObjectName("Label2");
  label2->setGeometry(80, 66, 84, 18);
  edtConfirmPswd = new QLineEdit(this);
  edtConfirmPswd->setObjectName("edtConfirmPswd");
  edtConfirmPswd->setGeometry(166, 63, 160, 22);
  edtConfirmPswd->setEchoMode(QLineEdit::Password);
  label2->setBuddy(edtConfirmPswd);

  btnOK = new QPushButton("确定", this);
  btnOK->setObjectName("btnOK");
  btnOK->setGeometry(162, 118, 75, 25);
  btnOK->setDefault(true);

  btnCancel = new QPushButton("取消", this);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setGeometry(251, 118, 75, 25);
  btnCancel->setAutoDefault(false);

  // OK closes the dialog only through its handler, after a saved change.
  connect(btnOK, &QPushButton::clicked, this, [this] {
    shell::Guarded(this, [this] { btnOKClick(); });
  });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  edtPswd->setFocus();
}

void TChangePasswordForm::btnOKClick() {
  const std::string password = PasswordEntry(edtPswd->text());
  if (password != PasswordEntry(edtConfirmPswd->text())) {
    QMessageBox::critical(this, "提示", "您两次输入的密码不一致，请重新输入！", QMessageBox::Ok);
    return;
  }
  {
    // Requests read SysOption on worker threads; they see the field either
    // before or after the change, never half of it.
    std::lock_guard<std::timed_mutex> guard(shell::RequestLock);
    SysOption->Password = password;
  }
  SysOption->Save();
  QMessageBox::information(this, "提示", "管理员密码更改成功！", QMessageBox::Ok);
  accept();
}

void ShowChangePassword(QWidget* owner) {
  TChangePasswordForm form(owner);
  form.exec();
}

}  // namespace settings
