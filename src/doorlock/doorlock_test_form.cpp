#include "doorlock/doorlock_test_form.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "doorlock/base_doorlock.h"
#include "doorlock_protocol/doorlock_record_manager.h"
#include "settings/sys_option.h"
#include "shell/error_report.h"
#include "shell/globals.h"

namespace doorlock {

using platform::AddMinutes;
using platform::TDateTime;

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption, int left, int top) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(left, top, 90, 27);
  button->setAutoDefault(false);
  return button;
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text, int left, int top,
                int width) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setGeometry(left, top, width, 24);
  return edit;
}

void Label(QWidget* parent, const char* name, const char* text, int left, int top, int width) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(left, top + 4, width, 18);
}

// Runs one device or store step outside any request.
template <typename Body>
void UnderRequestLock(Body&& body) {
  std::lock_guard<std::timed_mutex> guard(shell::RequestLock);
  body();
}

}  // namespace

TDoorlockTestForm::TDoorlockTestForm(QWidget* owner, TDateTime openedAt) : QDialog(owner) {
  setObjectName("DoorlockTestForm");
  setWindowTitle("测试");
  setFixedSize(599, 394);
  // A fixed dialog: a close button, nothing to minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  // Created in tab order: the device row, the room, the period, the write,
  // the card number with read and cancel.
  OpenPortBtn = Button(this, "OpenPortBtn", "打开串口", 72, 56);
  beepBtn = Button(this, "beepBtn", "Beep", 254, 56);
  ClosePortBtn = Button(this, "ClosePortBtn", "关闭串口", 436, 56);

  Label(this, "Label1", "楼号:", 72, 128, 40);
  RoomBuildingCodeTxt = Edit(this, "RoomBuildingCodeTxt", "00", 114, 128, 80);
  Label(this, "Label2", "楼层:", 254, 128, 40);
  RoomFloorCodeTxt = Edit(this, "RoomFloorCodeTxt", "01", 296, 128, 80);
  Label(this, "Label3", "房号:", 436, 128, 40);
  RoomNoTxt = Edit(this, "RoomNoTxt", "01", 478, 128, 48);

  Label(this, "Label4", "起始时间：", 72, 188, 72);
  CheckInDateTimeTxt = Edit(this, "CheckInDateTimeTxt",
                            QString::fromStdString(platform::DateTimeToStr(openedAt - 1.0 / 24)),
                            146, 188, 160);
  Label(this, "Label5", "到", 324, 188, 20);
  CheckOutDateTimeTxt = Edit(this, "CheckOutDateTimeTxt",
                             QString::fromStdString(platform::DateTimeToStr(openedAt + 2)), 350,
                             188, 160);

  IsCopyCheckBox = new QCheckBox("复制", this);
  IsCopyCheckBox->setObjectName("IsCopyCheckBox");
  IsCopyCheckBox->setGeometry(146, 250, 80, 22);
  WriteCardBtn = Button(this, "WriteCardBtn", "写卡", 350, 248);

  Label(this, "Label6", "卡号", 72, 314, 40);
  CardNoTxt = Edit(this, "CardNoTxt", QString(), 146, 314, 160);
  ReadCardBtn = Button(this, "ReadCardBtn", "读卡", 350, 312);
  EraseCardBtn = Button(this, "EraseCardBtn", "销卡", 458, 312);

  // Each button runs through the error report: an error leaves the dialog
  // as it was.
  auto on = [this](QPushButton* button, auto body) {
    connect(button, &QPushButton::clicked, this, [this, body] { shell::Guarded(this, body); });
  };
  // Results are not shown: the driver logs every outcome.
  on(OpenPortBtn, [] { UnderRequestLock([] { if (Doorlock) Doorlock->OpenPort(); }); });
  on(beepBtn, [] { UnderRequestLock([] { if (Doorlock) Doorlock->Beep(); }); });
  on(ClosePortBtn, [] { UnderRequestLock([] { if (Doorlock) Doorlock->ClosePort(); }); });
  on(EraseCardBtn, [] { UnderRequestLock([] { if (Doorlock) Doorlock->EraseCard(); }); });
  on(WriteCardBtn, [this] { WriteCardBtnClick(); });
  on(ReadCardBtn, [this] { ReadCardBtnClick(); });
}

void TDoorlockTestForm::WriteCardBtnClick() {
  const std::string building = RoomBuildingCodeTxt->text().toStdString();
  const std::string floor = RoomFloorCodeTxt->text().toStdString();
  const std::string room = RoomNoTxt->text().toStdString();
  const std::string roomKey = building + floor + room;
  // Both texts are read before anything is touched: a bad one abandons the
  // write with its error shown.
  const TDateTime checkIn = platform::StrToDateTime(CheckInDateTimeTxt->text().toStdString());
  const TDateTime checkOut = platform::StrToDateTime(CheckOutDateTimeTxt->text().toStdString());
  const bool isCopy = IsCopyCheckBox->isChecked();

  // The room's stored start and the card written from it must not be split
  // by a request for the same room, so the whole sequence holds the lock.
  std::lock_guard<std::timed_mutex> guard(shell::RequestLock);
  const settings::TSysOption& sys = *settings::SysOption;
  doorlock_protocol::TDoorlockRecordManager* store = doorlock_protocol::DoorlockRecordManager;

  TDateTime cardStart = checkIn;
  bool startKnown = true;
  if (sys.UseNativeDoorlockDb) {
    if (!isCopy) {
      cardStart = AddMinutes(platform::Now(), -sys.DelayMinutes);
    } else {
      const std::optional<TDateTime> stored =
          store != nullptr ? store->GetLastCheckInTime(roomKey) : std::nullopt;
      if (!stored) {
        // The store could not say (already logged): a copy with a start of
        // its own would lock out the guest's first card, so none is written,
        // as for an issue request.
        startKnown = false;
        cardStart = 0;
      } else if (*stored == 0) {
        cardStart = AddMinutes(platform::Now(), -sys.DelayMinutes);
        store->InsertRoom(roomKey, cardStart);
      } else {
        cardStart = *stored;
      }
    }
  }

  std::int64_t cardNo = 0;
  bool written = false;
  if (Doorlock != nullptr && startKnown) {
    written = Doorlock->WriteCard("", building, floor, room, "Test", cardStart, cardStart, checkOut,
                                  checkOut, isCopy, cardNo);
  }
  if (written && sys.UseNativeDoorlockDb && !isCopy && store != nullptr) {
    store->UpdateLastCheckInTime(roomKey, cardStart);
  }
  if (sys.SaveDoorlockRecord && store != nullptr) {
    store->InsertIssueRecord("", std::to_string(cardNo), roomKey, 1, cardStart, checkIn, checkOut,
                             isCopy, "Test", platform::Now());
  }
}

void TDoorlockTestForm::ReadCardBtnClick() {
  std::int64_t cardNo = 0;
  UnderRequestLock([&] {
    if (Doorlock) Doorlock->ReadCard(cardNo);
  });
  // Shown whatever the result: a failed read leaves 0.
  CardNoTxt->setText(QString::number(cardNo));
}

void ShowDoorlockTest() {
  TDoorlockTestForm form;
  form.exec();
}

}  // namespace doorlock
