#include "member/member_test_form.h"

#include <mutex>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "member/base_member.h"
#include "shell/error_report.h"
#include "shell/globals.h"

namespace member {

namespace {

constexpr const char* kHotelCard = "酒店会员卡";
constexpr const char* kAllianceCard = "Qelvo联盟卡";

// Only opened while a device is set; the lock keeps a button press from
// reaching the device in the middle of a request.
template <typename Body>
void WithDevice(Body&& body) {
  std::lock_guard<std::timed_mutex> guard(shell::RequestLock);
  if (MemberCardDevice != nullptr) body(*MemberCardDevice);
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, int left, int top) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  button->setGeometry(left, top, 75, 25);
  return button;
}

QLineEdit* Edit(QWidget* parent, const char* name, int top) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(150, top, 169, 21);
  return edit;
}

void Label(QWidget* parent, const char* caption, int left, int top) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->move(left, top);
  label->setFocusPolicy(Qt::NoFocus);
}

}  // namespace

std::int32_t ChannelFromText(const std::string& text) {
  return text == kHotelCard ? kHotelMemberChannel : kAllianceChannel;
}

TMemberTestForm::TMemberTestForm(QWidget* owner) : QDialog(owner) {
  setObjectName("MemberTestForm");
  setWindowTitle(QString::fromUtf8("测试"));
  setFixedSize(441, 311);

  OpenPortBtn = Button(this, "OpenPortBtn", "打开串口", 24, 16);
  ClosePortBtn = Button(this, "ClosePortBtn", "关闭串口", 296, 16);
  CardNoEdit = Edit(this, "CardNoEdit", 125);
  PasswordEdit = Edit(this, "PasswordEdit", 165);
  ReadCardBtn = Button(this, "ReadCardBtn", "读卡", 118, 221);
  WriteCardBtn = Button(this, "WriteCardBtn", "写卡", 238, 221);
  beepBtn = Button(this, "beepBtn", "Beep", 160, 16);
  ChannelCmb = new QComboBox(this);
  ChannelCmb->setObjectName("ChannelCmb");
  ChannelCmb->setEditable(true);
  ChannelCmb->addItems({QString::fromUtf8(kHotelCard), QString::fromUtf8(kAllianceCard)});
  ChannelCmb->setCurrentIndex(0);
  ChannelCmb->setGeometry(150, 77, 169, 21);
  Label(this, "类型", 94, 83);
  Label(this, "卡号", 94, 133);
  Label(this, "密码:", 94, 173);

  QWidget::setTabOrder(OpenPortBtn, ClosePortBtn);
  QWidget::setTabOrder(ClosePortBtn, CardNoEdit);
  QWidget::setTabOrder(CardNoEdit, PasswordEdit);
  QWidget::setTabOrder(PasswordEdit, ReadCardBtn);
  QWidget::setTabOrder(ReadCardBtn, WriteCardBtn);
  QWidget::setTabOrder(WriteCardBtn, beepBtn);
  QWidget::setTabOrder(beepBtn, ChannelCmb);

  auto on = [this](QPushButton* button, auto body) {
    connect(button, &QPushButton::clicked, this, [this, body] { shell::Guarded(this, body); });
  };
  on(OpenPortBtn, [] { WithDevice([](TBaseMember& device) { device.OpenPort(); }); });
  on(ClosePortBtn, [] { WithDevice([](TBaseMember& device) { device.ClosePort(); }); });
  on(beepBtn, [] { WithDevice([](TBaseMember& device) { device.Beep(); }); });
  on(ReadCardBtn, [this] { ReadCardBtnClick(); });
  on(WriteCardBtn, [this] { WriteCardBtnClick(); });
}

void TMemberTestForm::ReadCardBtnClick() {
  const std::int32_t channel = ChannelFromText(ChannelCmb->currentText().toStdString());
  std::string cardNo, password, expireDate, guestName, score;
  WithDevice([&](TBaseMember& device) {
    device.ReadCard(false, cardNo, password, expireDate, guestName, score, channel);
  });
  // Shown whatever the result: the device leaves what it could read.
  CardNoEdit->setText(QString::fromStdString(cardNo));
  PasswordEdit->setText(QString::fromStdString(password));
}

void TMemberTestForm::WriteCardBtnClick() {
  const std::int32_t channel = ChannelFromText(ChannelCmb->currentText().toStdString());
  const std::string cardNo = CardNoEdit->text().toStdString();
  WithDevice([&](TBaseMember& device) { device.WriteCard(cardNo, "", "", "", channel); });
}

void ShowMemberTest() {
  TMemberTestForm form;
  form.exec();
}

}  // namespace member
