// A request off the wire, whole: the lenient decoder, the XML envelope and
// the door-lock handler behind it, with a test device and a record store on
// a Client.db of its own made from db/schema.sql, both record options on and
// a log that goes to /dev/null (still formatted and converted to GBK). The
// handler either raises for a request it cannot read or writes at most one
// reply, a whole DoorResponse with its zero byte.
#include <sqlite3.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "doorlock/base_doorlock.h"
#include "doorlock_protocol/doorlock_message_handler.h"
#include "doorlock_protocol/doorlock_record_manager.h"
#include "platform/request_decoder.h"
#include "scratch_dir.h"
#include "settings/log_file.h"
#include "settings/sys_option.h"
#include "support/test_doorlock.h"

namespace {

class TReplyCollector : public platform::TConnection {
 public:
  void Write(std::string_view bytes) override {
    Bytes.append(bytes);
    ++Writes;
  }
  std::string Bytes;
  int Writes = 0;
};

bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

std::string Schema() {
  std::ifstream in(QELVO_SCHEMA_SQL);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

testing_support::TTestDoorlock* SetUpOnce() {
  static testing_support::TTestDoorlock* device = [] {
    const std::string db = fuzz::ScratchDir() + "Client.db";
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (sqlite3_exec(handle, Schema().c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    sqlite3_close(handle);

    auto* store = new doorlock_protocol::TDoorlockRecordManager();
    store->DatabaseFile = db;
    store->Open();
    doorlock_protocol::DoorlockRecordManager = store;
    auto* sys = new settings::TSysOption(fuzz::ScratchDir() + "Option.ini");
    sys->UseNativeDoorlockDb = true;
    sys->SaveDoorlockRecord = true;
    sys->DelayMinutes = 10;
    settings::SysOption = sys;
    settings::LogFile = new settings::TLogFile("/dev/null");
    auto* d = new testing_support::TTestDoorlock();
    doorlock::Doorlock = d;
    return d;
  }();
  return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  testing_support::TTestDoorlock* device = SetUpOnce();
  device->Calls.clear();
  device->Writes.clear();
  // The input's first byte decides how the device answers, so failures are
  // explored as well as successes.
  device->Succeed = size == 0 || (data[0] & 1) == 0;

  const std::string text =
      platform::DecodeRequestBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::Require(ValidUtf8(text), "decoded text is valid UTF-8");

  TReplyCollector reply;
  try {
    doorlock_protocol::TDoorlockMessageHandler handler(nullptr);
    handler.ProcessMessage(reply, text);
  } catch (const std::exception&) {
    // A request that cannot be read leaves as an exception; the listener
    // then closes the connection. Only what was written matters here.
  }
  fuzz::Require(reply.Writes <= 1, "at most one reply");
  if (reply.Writes == 1) {
    fuzz::Require(reply.Bytes.rfind("<DoorResponse>", 0) == 0, "the reply is a DoorResponse");
    fuzz::Require(reply.Bytes.size() >= 2 && reply.Bytes.back() == '\0' &&
                      reply.Bytes.find('\0') == reply.Bytes.size() - 1,
                  "one zero byte, at the end");
  }
  return 0;
}
