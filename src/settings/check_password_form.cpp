#include "settings/check_password_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "settings/sys_option.h"
#include "shell/error_report.h"

namespace settings {

std::string PasswordEntry(const QString& text) {
  std::string entry = text.toStdString();
  // Byte-wise: every byte of a multi-byte UTF-8 character is above 0x7F, so
  // only ASCII blanks and control characters are cut.
  std::size_t begin = 0;
  std::size_t end = entry.size();
  while (begin < end && static_cast<unsigned char>(entry[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(entry[end - 1]) <= ' ') --end;
  return entry.substr(begin, end - begin);
}

QPixmap KeyPicture(int size) {
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  const QColor gold(214, 160, 32);
  const QColor edge(120, 84, 10);
  p.setPen(QPen(edge, 1.2));
  p.setBrush(gold);
  // The bow: a ring with a hole, then the blade with two teeth.
  QPainterPath bow;
  bow.addEllipse(QRectF(2, 4, 14, 14));
  bow.addEllipse(QRectF(6, 8, 6, 6));
  p.drawPath(bow);
  QPainterPath blade;
  blade.moveTo(15, 9.5);
  blade.lineTo(30, 9.5);
  blade.lineTo(30, 12.5);
  blade.lineTo(28, 12.5);
  blade.lineTo(28, 17);
  blade.lineTo(25, 17);
  blade.lineTo(25, 12.5);
  blade.lineTo(23, 12.5);
  blade.lineTo(23, 15.5);
  blade.lineTo(20, 15.5);
  blade.lineTo(20, 12.5);
  blade.lineTo(15, 12.5);
  blade.closeSubpath();
  p.drawPath(blade);
  // A padlock behind the key says "administrator only".
  p.setPen(QPen(QColor(70, 70, 90), 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(13, 15, 12, 12), 0, 180 * 16);
  p.setPen(QPen(QColor(40, 40, 60), 1));
  p.setBrush(QColor(90, 110, 160));
  p.drawRoundedRect(QRectF(11, 21, 16, 10), 2, 2);
  p.setBrush(QColor(230, 230, 240));
  p.drawEllipse(QRectF(17.5, 24, 3, 3));
  return picture;
}

TCheckPasswordForm::TCheckPasswordForm(QWidget* owner) : QDialog(owner) {
  setObjectName("CheckPasswordForm");
  setWindowTitle("请输入管理员密码");
  setFont(QFont("宋体", 9));
  setFixedSize(306, 140);
  // A fixed dialog: a close button, nothing to minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(20, 26, 32, 32);
  Image1->setPixmap(KeyPicture(32));

  auto* label = new QLabel("密码：", this);
  label->setObjectName("Label1");
  label->setGeometry(68, 34, 44, 18);

  edtPswd = new QLineEdit(this);
  edtPswd->setObjectName("edtPswd");
  edtPswd->setGeometry(114, 31, 170, 22);
  edtPswd->setEchoMode(QLineEdit::Password);
  label->setBuddy(edtPswd);

  btnOK = new QPushButton("确定", this);
  btnOK->setObjectName("btnOK");
  btnOK->setGeometry(120, 96, 75, 25);
  btnOK->setDefault(true);

  btnCancel = new QPushButton("取消", this);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setGeometry(209, 96, 75, 25);
  btnCancel->setAutoDefault(false);

  connect(btnOK, &QPushButton::clicked, this, [this] {
    shell::Guarded(this, [this] { btnOKClick(); });
  });
  // Escape and the frame's close button reject the dialog as Cancel does.
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  edtPswd->setFocus();
}

void TCheckPasswordForm::btnOKClick() {
  if (PasswordEntry(edtPswd->text()) == SysOption->Password) {
    accept();
    return;
  }
  QMessageBox::critical(this, "提示", "密码错误 ！", QMessageBox::Ok);
  // The typed text stays so the operator can correct it.
  edtPswd->setFocus();
}

bool CheckAdminPassword(QWidget* owner) {
  TCheckPasswordForm form(owner);
  return form.exec() == QDialog::Accepted;
}

}  // namespace settings
