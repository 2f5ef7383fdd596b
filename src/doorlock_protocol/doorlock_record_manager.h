#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/date_time.h"

struct sqlite3;

namespace doorlock_protocol {

using platform::TDateTime;

// The card issue record store on SQLite: each room's start time of its
// latest non-copy card, and one row per issue request. One connection for
// the process; callers hold the request lock, so operations never overlap.
// Every database error is caught and its message logged as one line.
class TDoorlockRecordManager {
 public:
  TDoorlockRecordManager() = default;
  ~TDoorlockRecordManager();
  TDoorlockRecordManager(const TDoorlockRecordManager&) = delete;
  TDoorlockRecordManager& operator=(const TDoorlockRecordManager&) = delete;

  // Opens DatabaseFile read-write; never creates it. Throws
  // std::runtime_error with SQLite's message when it cannot be opened.
  void Open();
  bool Connected() const { return Connection_ != nullptr; }

  // The room's stored start time, 0 when the room has no row or the value is
  // empty; std::nullopt when the store could not be read (already logged).
  std::optional<TDateTime> GetLastCheckInTime(const std::string& roomNo);
  void UpdateLastCheckInTime(const std::string& roomNo, TDateTime time);
  void InsertRoom(const std::string& roomNo, TDateTime time);
  void InsertIssueRecord(const std::string& registerId, const std::string& cardNo,
                         const std::string& roomNo, int cardType, TDateTime lastCheckInTime,
                         TDateTime checkInTime, TDateTime checkOutTime, bool isCopy,
                         const std::string& guestName, TDateTime opratingTime);

  std::string DatabaseFile;

 private:
  bool Run(const std::function<void(sqlite3*)>& body);

  sqlite3* Connection_ = nullptr;
};

extern TDoorlockRecordManager* DoorlockRecordManager;

}  // namespace doorlock_protocol
