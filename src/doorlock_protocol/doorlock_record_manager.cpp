#include "doorlock_protocol/doorlock_record_manager.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>

#include "settings/log_file.h"

namespace doorlock_protocol {

TDoorlockRecordManager* DoorlockRecordManager = nullptr;

namespace {

// Another program (a backup, a reporting tool) may hold the file for a
// moment; wait for it rather than lose a record.
constexpr int kBusyTimeoutMs = 5000;

// One prepared statement for one operation, finalised whatever happens.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : Db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &Stmt_, nullptr) != SQLITE_OK) Fail();
  }
  ~Statement() { sqlite3_finalize(Stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(const char* name, const std::string& value) {
    Check(sqlite3_bind_text(Stmt_, Index(name), value.data(), static_cast<int>(value.size()),
                            SQLITE_TRANSIENT));
  }
  void Bind(const char* name, double value) {
    Check(sqlite3_bind_double(Stmt_, Index(name), value));
  }
  void Bind(const char* name, int value) { Check(sqlite3_bind_int(Stmt_, Index(name), value)); }

  // True when a row is there to read.
  bool Step() {
    int rc = sqlite3_step(Stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail();
    return false;
  }
  sqlite3_stmt* Get() const { return Stmt_; }

 private:
  int Index(const char* name) {
    int index = sqlite3_bind_parameter_index(Stmt_, name);
    if (index == 0) throw std::logic_error(std::string("no parameter ") + name);
    return index;
  }
  void Check(int rc) {
    if (rc != SQLITE_OK) Fail();
  }
  [[noreturn]] void Fail() { throw std::runtime_error(sqlite3_errmsg(Db_)); }

  sqlite3* Db_;
  sqlite3_stmt* Stmt_ = nullptr;
};

}  // namespace

TDoorlockRecordManager::~TDoorlockRecordManager() { sqlite3_close(Connection_); }

void TDoorlockRecordManager::Open() {
  sqlite3_close(Connection_);
  Connection_ = nullptr;
  sqlite3* db = nullptr;
  // Read-write and never create: an empty file made here would hide a
  // missing record store from the operator. A file made read-only is opened
  // read-only, as SQLite itself does for an ordinary user: judged by its
  // permissions, since root would otherwise write to it regardless, and each
  // refused write then costs a log line instead of changing the records.
  std::error_code ec;
  const auto perms = std::filesystem::status(DatabaseFile, ec).permissions();
  const bool writable =
      ec || (perms & (std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                      std::filesystem::perms::others_write)) != std::filesystem::perms::none;
  int rc = sqlite3_open_v2(DatabaseFile.c_str(), &db,
                           writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw std::runtime_error(message);
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  Connection_ = db;
}

// Opens the connection first when the start-up could not, so a record store
// put in place later is used. Every error ends as one log line with the
// database's message.
bool TDoorlockRecordManager::Run(const std::function<void(sqlite3*)>& body) {
  try {
    if (Connection_ == nullptr) Open();
    body(Connection_);
    return true;
  } catch (const std::exception& e) {
    settings::WriteLog(e.what());
    return false;
  }
}

std::optional<TDateTime> TDoorlockRecordManager::GetLastCheckInTime(const std::string& roomNo) {
  TDateTime result = 0;
  bool ok = Run([&](sqlite3* db) {
    // Bound as a parameter: the room key comes straight off the network and
    // must never become part of the statement text.
    Statement query(db, "select LastCheckInTime from T_Room where RoomNo=:RoomNo");
    query.Bind(":RoomNo", roomNo);
    if (query.Step() && sqlite3_column_type(query.Get(), 0) != SQLITE_NULL) {
      result = sqlite3_column_double(query.Get(), 0);
    }
  });
  if (!ok) return std::nullopt;
  return result;
}

void TDoorlockRecordManager::UpdateLastCheckInTime(const std::string& roomNo, TDateTime time) {
  int changed = -1;
  Run([&](sqlite3* db) {
    Statement update(db, "update T_Room set LastCheckInTime=:LastCheckInTime where RoomNo=:RoomNo");
    update.Bind(":LastCheckInTime", time);
    update.Bind(":RoomNo", roomNo);
    update.Step();
    changed = sqlite3_changes(db);
  });
  if (changed == 0) InsertRoom(roomNo, time);
}

void TDoorlockRecordManager::InsertRoom(const std::string& roomNo, TDateTime time) {
  bool ok = Run([&](sqlite3* db) {
    Statement insert(db,
                     "insert into T_Room(RoomNo, LastCheckInTime) Values(:RoomNo, :LastCheckInTime)");
    insert.Bind(":RoomNo", roomNo);
    insert.Bind(":LastCheckInTime", time);
    insert.Step();
  });
  if (ok) settings::WriteLog("新建房间" + roomNo);
}

void TDoorlockRecordManager::InsertIssueRecord(const std::string& registerId,
                                               const std::string& cardNo,
                                               const std::string& roomNo, int cardType,
                                               TDateTime lastCheckInTime, TDateTime checkInTime,
                                               TDateTime checkOutTime, bool isCopy,
                                               const std::string& guestName,
                                               TDateTime opratingTime) {
  Run([&](sqlite3* db) {
    Statement insert(
        db,
        "insert into T_IssueCardRecord(RegisterId, CardNo, RoomNo, CardType, LastCheckInTime, "
        "CheckInTime, CheckOutTime, IsCopy, GuestName, OpratingTime)\n"
        " Values(:RegisterId, :CardNo, :RoomNo, :CardType, :LastCheckInTime, :CheckInTime, "
        ":CheckOutTime, :IsCopy, :GuestName, :OpratingTime)");
    insert.Bind(":RegisterId", registerId);
    insert.Bind(":CardNo", cardNo);
    insert.Bind(":RoomNo", roomNo);
    insert.Bind(":CardType", cardType);
    insert.Bind(":LastCheckInTime", lastCheckInTime);
    insert.Bind(":CheckInTime", checkInTime);
    insert.Bind(":CheckOutTime", checkOutTime);
    insert.Bind(":IsCopy", isCopy ? 1 : 0);
    insert.Bind(":GuestName", guestName);
    insert.Bind(":OpratingTime", opratingTime);
    insert.Step();
  });
}

}  // namespace doorlock_protocol
