#include "doorlock/doorlock_test_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <optional>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "gui/gui_fixture.h"
#include "platform/date_time.h"
#include "support/test_doorlock.h"
#include "support/test_store.h"

namespace doorlock {
namespace {

using platform::StrToDateTime;
using platform::TDateTime;
using testing_support::QueryRows;

// Records, for every call, whether a request could have run at that moment
// (the request lock free) and how many rooms the store held.
class ProbingDoorlock : public testing_support::TTestDoorlock {
 public:
  bool OpenPort() override { return Probe(), TTestDoorlock::OpenPort(); }
  void Beep() override { Probe(), TTestDoorlock::Beep(); }
  bool ClosePort() override { return Probe(), TTestDoorlock::ClosePort(); }
  bool WriteCard(const std::string& RegisterId, const std::string& RoomBuildingCode,
                 const std::string& RoomFloorCode, const std::string& RoomNo,
                 const std::string& GuestName, TDateTime CheckInDate, TDateTime CheckInTime,
                 TDateTime CheckOutDate, TDateTime CheckOutTime, bool IsCopy,
                 std::int64_t& CardNo) override {
    Probe();
    if (!StorePath.empty()) RoomsAtWrite = QueryRows(StorePath, "select RoomNo from T_Room").size();
    return TTestDoorlock::WriteCard(RegisterId, RoomBuildingCode, RoomFloorCode, RoomNo, GuestName,
                                    CheckInDate, CheckInTime, CheckOutDate, CheckOutTime, IsCopy,
                                    CardNo);
  }
  bool ReadCard(std::int64_t& CardNo) override { return Probe(), TTestDoorlock::ReadCard(CardNo); }
  bool EraseCard() override { return Probe(), TTestDoorlock::EraseCard(); }

  std::string StorePath;
  std::optional<std::size_t> RoomsAtWrite;
  int CallsOutsideTheLock = 0;

 private:
  // Asked from another thread: the lock is not recursive.
  void Probe() {
    const bool free = std::async(std::launch::async, [] {
                        if (!shell::RequestLock.try_lock()) return false;
                        shell::RequestLock.unlock();
                        return true;
                      }).get();
    if (free) ++CallsOutsideTheLock;
  }
};

bool NearlyEqual(TDateTime a, TDateTime b) { return std::fabs(a - b) * 86400 < 3; }

class TDoorlockTestFormTest : public gui_testing::GuiTest {
 protected:
  TDoorlockTestFormTest() {
    doorlock::Doorlock = &Device;
    Device.StorePath = Db.Path();
  }

  testing_support::TestStore Db;
  ProbingDoorlock Device;
};

TEST_F(TDoorlockTestFormTest, OpensWithTheRoomAndAPeriodAroundTheOpeningTime) {
  const TDateTime openedAt = StrToDateTime("2024-03-05 10:30:00");
  TDoorlockTestForm form(nullptr, openedAt);
  EXPECT_EQ(form.windowTitle(), "测试");
  EXPECT_EQ(form.size(), QSize(599, 394));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.CheckInDateTimeTxt->text(), "2024-03-05 09:30:00");
  EXPECT_EQ(form.CheckOutDateTimeTxt->text(), "2024-03-07 10:30:00");
  EXPECT_EQ(form.RoomBuildingCodeTxt->text(), "00");
  EXPECT_EQ(form.RoomFloorCodeTxt->text(), "01");
  EXPECT_EQ(form.RoomNoTxt->text(), "01");
  EXPECT_EQ(form.CardNoTxt->text(), "");
  EXPECT_FALSE(form.IsCopyCheckBox->isChecked());
  EXPECT_EQ(form.IsCopyCheckBox->text(), "复制");
  const struct {
    QPushButton* button;
    const char* caption;
  } buttons[] = {
      {form.OpenPortBtn, "打开串口"}, {form.beepBtn, "Beep"},     {form.ClosePortBtn, "关闭串口"},
      {form.WriteCardBtn, "写卡"},    {form.ReadCardBtn, "读卡"}, {form.EraseCardBtn, "销卡"},
  };
  for (const auto& b : buttons) EXPECT_EQ(b.button->text(), b.caption);
  EXPECT_EQ(gui_testing::TabOrder(&form),
            (std::vector<QString>{"OpenPortBtn", "beepBtn", "ClosePortBtn", "RoomBuildingCodeTxt",
                                  "RoomFloorCodeTxt", "RoomNoTxt", "CheckInDateTimeTxt",
                                  "CheckOutDateTimeTxt", "IsCopyCheckBox", "WriteCardBtn",
                                  "CardNoTxt", "ReadCardBtn", "EraseCardBtn"}));
}

TEST_F(TDoorlockTestFormTest, EachDeviceButtonCallsItsOperationUnderTheRequestLock) {
  TDoorlockTestForm form;
  const struct {
    QPushButton* button;
    const char* call;
  } cases[] = {
      {form.OpenPortBtn, "OpenPort"}, {form.beepBtn, "Beep"},         {form.ClosePortBtn, "ClosePort"},
      {form.EraseCardBtn, "EraseCard"}, {form.ReadCardBtn, "ReadCard"}, {form.WriteCardBtn, "WriteCard"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    Device.Calls.clear();
    c.button->click();
    EXPECT_EQ(Device.Calls, std::vector<std::string>{c.call});
  }
  EXPECT_EQ(Device.CallsOutsideTheLock, 0);
}

TEST_F(TDoorlockTestFormTest, ReadShowsTheCardNumberOrZero) {
  const struct {
    bool succeed;
    std::int64_t cardNo;
    const char* shown;
  } cases[] = {{true, 255, "255"}, {true, 4660, "4660"}, {false, 255, "0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    Device.Succeed = c.succeed;
    Device.CardNoToGive = c.cardNo;
    TDoorlockTestForm form;
    form.ReadCardBtn->click();
    EXPECT_EQ(form.CardNoTxt->text(), c.shown);
  }
}

TEST_F(TDoorlockTestFormTest, WriteFollowsTheRecordStoreRules) {
  const TDateTime stored = StrToDateTime("2024-03-01 14:00:00");
  const TDateTime checkIn = StrToDateTime("2024-03-05 09:30:00");
  const TDateTime checkOut = StrToDateTime("2024-03-07 10:30:00");
  enum class Start { Typed, NowLessDelay, Stored };
  const struct {
    const char* name;
    bool useDb, saveRecord, copy, roomStored, succeed;
    Start start;
    std::size_t roomsAtWrite;
    std::optional<Start> roomAfter;  // the room's start afterwards; none: no row
    bool recordAdded;
  } cases[] = {
      {"store off", false, false, false, false, true, Start::Typed, 0, std::nullopt, false},
      {"store off, copy", false, false, true, true, true, Start::Typed, 1, Start::Stored, false},
      {"new card updates the room", true, false, false, true, true, Start::NowLessDelay, 1,
       Start::NowLessDelay, false},
      {"failed new card leaves the room", true, false, false, true, false, Start::NowLessDelay, 1,
       Start::Stored, false},
      {"copy of a room with a start", true, false, true, true, true, Start::Stored, 1,
       Start::Stored, false},
      {"copy of an unknown room inserts it first", true, false, true, false, true,
       Start::NowLessDelay, 1, Start::NowLessDelay, false},
      {"record of a written card", false, true, false, false, true, Start::Typed, 0, std::nullopt,
       true},
      {"record of a failed card", true, true, false, false, false, Start::NowLessDelay, 0,
       std::nullopt, true},
  };
  Sys.DelayMinutes = 30;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::ExecSql(Db.Path(), "delete from T_Room; delete from T_IssueCardRecord;");
    if (c.roomStored) {
      testing_support::ExecSql(Db.Path(), "insert into T_Room values('000101', " +
                                              std::to_string(stored) + ")");
    }
    Sys.UseNativeDoorlockDb = c.useDb;
    Sys.SaveDoorlockRecord = c.saveRecord;
    Device.Succeed = c.succeed;
    Device.Writes.clear();
    Device.RoomsAtWrite.reset();

    TDoorlockTestForm form(nullptr, StrToDateTime("2024-03-05 10:30:00"));
    form.IsCopyCheckBox->setChecked(c.copy);
    const TDateTime clickedAt = platform::Now();
    form.WriteCardBtn->click();
    auto expected = [&](Start s) {
      switch (s) {
        case Start::Typed: return checkIn;
        case Start::Stored: return stored;
        case Start::NowLessDelay: return platform::AddMinutes(clickedAt, -30);
      }
      return 0.0;
    };

    ASSERT_EQ(Device.Writes.size(), 1u);
    const auto& w = Device.Writes[0];
    EXPECT_EQ(w.RegisterId, "");
    EXPECT_EQ(w.RoomBuildingCode, "00");
    EXPECT_EQ(w.RoomFloorCode, "01");
    EXPECT_EQ(w.RoomNo, "01");
    EXPECT_EQ(w.GuestName, "Test");
    EXPECT_TRUE(NearlyEqual(w.CheckInDate, expected(c.start)));
    EXPECT_EQ(w.CheckInTime, w.CheckInDate);
    EXPECT_EQ(w.CheckOutDate, checkOut);
    EXPECT_EQ(w.CheckOutTime, checkOut);
    EXPECT_EQ(w.IsCopy, c.copy);
    EXPECT_EQ(Device.RoomsAtWrite, c.roomsAtWrite);

    const auto rooms = QueryRows(Db.Path(), "select RoomNo, LastCheckInTime from T_Room");
    if (c.roomAfter) {
      ASSERT_EQ(rooms.size(), 1u);
      EXPECT_EQ(rooms[0].substr(0, 7), "000101|");
      EXPECT_TRUE(NearlyEqual(std::stod(rooms[0].substr(7)), expected(*c.roomAfter)));
    } else {
      EXPECT_TRUE(rooms.empty());
    }

    const auto records = QueryRows(
        Db.Path(),
        "select RegisterId, CardNo, RoomNo, CardType, IsCopy, GuestName, LastCheckInTime, "
        "CheckInTime, CheckOutTime, OpratingTime from T_IssueCardRecord");
    ASSERT_EQ(records.size(), c.recordAdded ? 1u : 0u);
    if (c.recordAdded) {
      const std::string head = std::string("|") + (c.succeed ? "123" : "0") + "|000101|1|" +
                               (c.copy ? "1" : "0") + "|Test|";
      EXPECT_EQ(records[0].substr(0, head.size()), head);
      std::vector<double> times;
      std::size_t from = head.size();
      for (std::size_t bar; (bar = records[0].find('|', from)) != std::string::npos; from = bar + 1)
        times.push_back(std::stod(records[0].substr(from, bar - from)));
      times.push_back(std::stod(records[0].substr(from)));
      ASSERT_EQ(times.size(), 4u);
      EXPECT_TRUE(NearlyEqual(times[0], expected(c.start)));
      EXPECT_TRUE(NearlyEqual(times[1], checkIn));  // as typed: not moved by DelayMinutes
      EXPECT_TRUE(NearlyEqual(times[2], checkOut));
      EXPECT_TRUE(NearlyEqual(times[3], clickedAt));
    }
  }
  EXPECT_EQ(Device.CallsOutsideTheLock, 0);
}

TEST_F(TDoorlockTestFormTest, ABadDateTimeIsReportedBeforeAnyDeviceOrStoreCall) {
  Sys.UseNativeDoorlockDb = true;
  Sys.SaveDoorlockRecord = true;
  const struct {
    QString checkIn, checkOut, message;
  } cases[] = {
      {"2023-02-29 10:00", "2024-03-07 10:30:00", "'2023-02-29 10:00' is not a valid date and time."},
      {"2024-03-05 09:30:00", "tomorrow", "'tomorrow' is not a valid date and time."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    TDoorlockTestForm form;
    form.show();
    form.CheckInDateTimeTxt->setText(c.checkIn);
    form.CheckOutDateTimeTxt->setText(c.checkOut);
    Driver.Shown.clear();
    Driver.Then(gui_testing::ClickOk);
    form.WriteCardBtn->click();
    ASSERT_EQ(Driver.Shown.size(), 1u);
    EXPECT_EQ(Driver.Shown[0].Text, c.message);
    EXPECT_EQ(Driver.Shown[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(form.isVisible());
  }
  EXPECT_TRUE(Device.Calls.empty());
  EXPECT_TRUE(QueryRows(Db.Path(), "select * from T_IssueCardRecord").empty());
}

}  // namespace
}  // namespace doorlock
