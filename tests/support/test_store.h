#pragma once
#include <memory>
#include <string>
#include <vector>

#include "doorlock_protocol/doorlock_record_manager.h"
#include "support/temp_dir.h"

namespace testing_support {

// Makes a Client.db from db/schema.sql in the given path.
void MakeClientDb(const std::string& path);

// Runs one SQL statement on the database and returns its rows, each row's
// columns as text ("NULL" for a null), joined with '|'.
std::vector<std::string> QueryRows(const std::string& dbPath, const std::string& sql);
void ExecSql(const std::string& dbPath, const std::string& sql);

// A record store on a fresh Client.db of its own, installed as the global
// DoorlockRecordManager for the test's length.
class TestStore {
 public:
  TestStore();
  ~TestStore();
  doorlock_protocol::TDoorlockRecordManager& Store() { return *Store_; }
  const std::string& Path() const { return Path_; }

 private:
  TempDir Dir_;
  std::string Path_;
  std::unique_ptr<doorlock_protocol::TDoorlockRecordManager> Store_;
  doorlock_protocol::TDoorlockRecordManager* Previous_;
};

}  // namespace testing_support
