#include "shell/about_form.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>

#include "shell/error_report.h"
#include "shell/globals.h"

namespace shell {

namespace {

// The product's picture: a key card in front of a door on a blue field.
QPixmap ProductPicture() {
  QPixmap picture(132, 238);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 238);
  sky.setColorAt(0, QColor(22, 62, 128));
  sky.setColorAt(1, QColor(8, 24, 56));
  p.fillRect(picture.rect(), sky);

  // The door with its lock.
  p.setPen(QPen(QColor(150, 170, 210), 2));
  p.setBrush(QColor(44, 86, 156));
  p.drawRect(QRectF(30, 28, 72, 150));
  p.setBrush(QColor(200, 205, 215));
  p.drawRoundedRect(QRectF(84, 92, 10, 30), 3, 3);
  p.setBrush(QColor(60, 220, 120));
  p.drawEllipse(QRectF(86.5, 96, 5, 5));

  // The card held to it.
  p.save();
  p.translate(52, 150);
  p.rotate(-18);
  p.setPen(QPen(QColor(230, 230, 240), 1.5));
  p.setBrush(QColor(240, 180, 40));
  p.drawRoundedRect(QRectF(0, 0, 58, 36), 4, 4);
  p.setBrush(QColor(120, 80, 10));
  p.drawRect(QRectF(6, 10, 12, 9));
  p.restore();

  p.setPen(QColor(230, 236, 250));
  QFont font("DejaVu Sans", 15, QFont::Bold);
  p.setFont(font);
  p.drawText(QRectF(0, 196, 132, 30), Qt::AlignCenter, "Qelvo");
  return picture;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner) {
  setObjectName("AboutForm");
  // The design texts: the member card kind leaves them as they are.
  setWindowTitle("关于...");
  setFont(QFont("宋体", 9));
  setFixedSize(413, 262);
  // A fixed dialog: a close button, nothing to minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(12, 12, 132, 238);
  Image1->setPixmap(ProductPicture());

  auto label = [this](const char* name, const QString& text, int top, int height) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setGeometry(160, top, 240, height);
    return l;
  };
  lblAppTitle = label("lblAppTitle", "lblAppTitle", 16, 24);
  QFont titleFont = font();
  titleFont.setPointSize(12);
  titleFont.setBold(true);
  lblAppTitle->setFont(titleFont);
  lblVersion = label("lblVersion", "版本 1.0.0.0", 48, 18);
  lblCopyright = label("lblCopyright", "Copyright (C) 2024 Qelvo", 72, 18);
  lblCompany = label("lblCompany", "Qelvo 酒店软件", 96, 18);

  mmo = new QPlainTextEdit(this);
  mmo->setObjectName("mmo");
  mmo->setGeometry(160, 124, 240, 88);
  mmo->setEnabled(false);
  mmo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  btnOK = new QPushButton("确定(&O)", this);
  btnOK->setObjectName("btnOK");
  btnOK->setGeometry(325, 224, 75, 25);
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

  Guarded(this, [this] { FormCreate(); });
}

void TAboutForm::FormCreate() {
  // Every kind names itself, the member card kind too, so the operator always
  // sees which interface is running; a kind outside the three keeps the
  // design texts.
  if (InterfaceCaption(InterfaceKind).empty()) return;
  const QString title = QString::fromStdString(InterfaceCaption(InterfaceKind));
  setWindowTitle("关于 " + title);
  lblAppTitle->setText(title);
}

void ShowAbout(QWidget* owner) {
  TAboutForm form(owner);
  form.exec();
}

}  // namespace shell
