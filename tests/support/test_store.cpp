#include "support/test_store.h"

#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

namespace {

std::string SchemaText() {
  const char* source = std::getenv("QELVO_SOURCE_DIR");
  if (source == nullptr) source = QELVO_DEFAULT_SOURCE_DIR;
  return ReadFile(std::string(source) + "/db/schema.sql");
}

struct Db {
  explicit Db(const std::string& path, int flags) {
    if (sqlite3_open_v2(path.c_str(), &Handle, flags, nullptr) != SQLITE_OK) {
      std::string message = sqlite3_errmsg(Handle);
      sqlite3_close(Handle);
      throw std::runtime_error(message);
    }
  }
  ~Db() { sqlite3_close(Handle); }
  sqlite3* Handle = nullptr;
};

}  // namespace

void MakeClientDb(const std::string& path) {
  Db db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  char* error = nullptr;
  if (sqlite3_exec(db.Handle, SchemaText().c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error;
    sqlite3_free(error);
    throw std::runtime_error(message);
  }
}

std::vector<std::string> QueryRows(const std::string& dbPath, const std::string& sql) {
  Db db(dbPath, SQLITE_OPEN_READONLY);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db.Handle, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db.Handle));
  }
  std::vector<std::string> rows;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      if (i > 0) row += '|';
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row += text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  return rows;
}

void ExecSql(const std::string& dbPath, const std::string& sql) {
  Db db(dbPath, SQLITE_OPEN_READWRITE);
  char* error = nullptr;
  if (sqlite3_exec(db.Handle, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error;
    sqlite3_free(error);
    throw std::runtime_error(message);
  }
}

TestStore::TestStore()
    : Path_(Dir_.File("Client.db")),
      Store_(std::make_unique<doorlock_protocol::TDoorlockRecordManager>()),
      Previous_(doorlock_protocol::DoorlockRecordManager) {
  MakeClientDb(Path_);
  Store_->DatabaseFile = Path_;
  Store_->Open();
  doorlock_protocol::DoorlockRecordManager = Store_.get();
}

TestStore::~TestStore() { doorlock_protocol::DoorlockRecordManager = Previous_; }

}  // namespace testing_support
