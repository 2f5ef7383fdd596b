#include "doorlock_protocol/doorlock_record_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/log_capture.h"
#include "support/test_store.h"

namespace doorlock_protocol {
namespace {

using testing_support::LogCapture;
using testing_support::QueryRows;
using testing_support::TestStore;

TEST(TDoorlockRecordManager, MissingRoomReadsAsZeroAndStoredRoomAsItsTime) {
  LogCapture log;
  TestStore db;
  EXPECT_EQ(db.Store().GetLastCheckInTime("0101"), 0.0);
  db.Store().InsertRoom("0101", 45000.25);
  EXPECT_EQ(db.Store().GetLastCheckInTime("0101"), 45000.25);
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"新建房间0101"});
}

TEST(TDoorlockRecordManager, UpdateAddsAMissingRoomAndChangesAnExistingOne) {
  LogCapture log;
  TestStore db;
  db.Store().UpdateLastCheckInTime("0202", 45000.5);
  db.Store().UpdateLastCheckInTime("0202", 45001.5);
  EXPECT_EQ(QueryRows(db.Path(), "select RoomNo, LastCheckInTime from T_Room"),
            std::vector<std::string>{"0202|45001.5"});
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"新建房间0202"});
}

TEST(TDoorlockRecordManager, RoomKeyWithAQuoteIsOnlyEverAValue) {
  LogCapture log;
  TestStore db;
  const std::string key = "1' or '1'='1";
  db.Store().InsertRoom("9999", 40000.0);
  EXPECT_EQ(db.Store().GetLastCheckInTime(key), 0.0);
  db.Store().UpdateLastCheckInTime(key, 45000.0);
  EXPECT_EQ(db.Store().GetLastCheckInTime(key), 45000.0);
  EXPECT_EQ(db.Store().GetLastCheckInTime("9999"), 40000.0);
}

// Holds for root too, which the file's permissions alone would not stop.
TEST(TDoorlockRecordManager, AReadOnlyFileIsReadButNeverWritten) {
  LogCapture log;
  TestStore db;
  db.Store().InsertRoom("0101", 45000.25);
  std::filesystem::permissions(db.Path(), std::filesystem::perms::owner_read |
                                              std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
  db.Store().Open();
  EXPECT_EQ(db.Store().GetLastCheckInTime("0101"), 45000.25);
  db.Store().InsertIssueRecord("R1", "4660", "0101", 1, 1, 1, 2, false, "张三", 1);
  db.Store().UpdateLastCheckInTime("0101", 45001.0);
  EXPECT_EQ(QueryRows(db.Path(), "select count(*) from T_IssueCardRecord"),
            std::vector<std::string>{"0"});
  EXPECT_EQ(QueryRows(db.Path(), "select LastCheckInTime from T_Room"),
            std::vector<std::string>{"45000.25"});
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{"新建房间0101",
                                                      "attempt to write a readonly database",
                                                      "attempt to write a readonly database"}));
}

TEST(TDoorlockRecordManager, InsertIssueRecordWritesTheTenColumnsInOrder) {
  LogCapture log;
  TestStore db;
  db.Store().InsertIssueRecord("R1", "4660", "", 1, 45000.5, 45000.5, 45002.25, true, "张三",
                               45000.75);
  EXPECT_EQ(QueryRows(db.Path(), "select * from T_IssueCardRecord"),
            std::vector<std::string>{"R1|4660||1|45000.5|45000.5|45002.25|1|张三|45000.75"});
  EXPECT_TRUE(log.Messages().empty());
}

TEST(TDoorlockRecordManager, StoreErrorsAreLoggedAndALookupFailureIsToldApart) {
  LogCapture log;
  TestStore db;
  testing_support::ExecSql(db.Path(), "drop table T_Room");
  EXPECT_EQ(db.Store().GetLastCheckInTime("0101"), std::nullopt);
  db.Store().UpdateLastCheckInTime("0101", 1.0);
  EXPECT_EQ(log.Messages(),
            (std::vector<std::string>{"no such table: T_Room", "no such table: T_Room"}));
}

TEST(TDoorlockRecordManager, MissingDatabaseIsNeverCreatedAndEachOperationLogsOnce) {
  LogCapture log;
  testing_support::TempDir dir;
  TDoorlockRecordManager store;
  store.DatabaseFile = dir.File("Client.db");
  EXPECT_THROW(store.Open(), std::runtime_error);
  EXPECT_FALSE(store.Connected());
  EXPECT_EQ(store.GetLastCheckInTime("0101"), std::nullopt);
  store.InsertIssueRecord("R", "0", "", 1, 0, 0, 0, false, "", 0);
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{"unable to open database file",
                                                       "unable to open database file"}));
  std::ifstream probe(store.DatabaseFile);
  EXPECT_FALSE(probe.good());
}

TEST(TDoorlockRecordManager, DatabasePutInPlaceLaterIsUsed) {
  LogCapture log;
  testing_support::TempDir dir;
  TDoorlockRecordManager store;
  store.DatabaseFile = dir.File("Client.db");
  EXPECT_THROW(store.Open(), std::runtime_error);
  testing_support::MakeClientDb(store.DatabaseFile);
  store.InsertRoom("0303", 2.0);
  EXPECT_EQ(store.GetLastCheckInTime("0303"), 2.0);
}

}  // namespace
}  // namespace doorlock_protocol
