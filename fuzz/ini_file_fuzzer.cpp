// The settings file reader on any file content: reading never fails, and a
// write changes the one key in place, reads back, and leaves the value of
// every other key as it was.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"
#include "scratch_dir.h"

namespace {

struct TKey {
  const char* section;
  const char* key;
};

// Keys the server and the simulated encoder read, and a Chinese pair whose
// GBK bytes test the byte-wise name matching.
const TKey kKeys[] = {{"SysOption", "DoorlockPortNo"}, {"SysOption", "Password"},
                      {"DoorlockOption", "DelayMinutes"}, {"Encoder", "Connected"},
                      {"Card", "Serial"}, {"Card", "Room"}, {"房间", "名字"}};

void Put(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::ScratchDir() + "Option.ini";
  Put(path, std::string_view(reinterpret_cast<const char*>(data), size));
  platform::TIniFile ini(path);

  std::vector<std::string> before;
  for (const TKey& k : kKeys) {
    before.push_back(ini.ReadString(k.section, k.key, "\x01missing"));
    ini.ReadInteger(k.section, k.key, -7);
    ini.ReadBool(k.section, k.key, true);
  }

  // The first key of the table's choice (by the input's last byte) is written.
  const std::size_t chosen = size == 0 ? 0 : data[size - 1] % std::size(kKeys);
  ini.WriteString(kKeys[chosen].section, kKeys[chosen].key, "8808");
  fuzz::Require(ini.ReadString(kKeys[chosen].section, kKeys[chosen].key, "") == "8808",
                "a written key reads back");
  for (std::size_t i = 0; i < std::size(kKeys); ++i) {
    if (i == chosen) continue;
    fuzz::Require(ini.ReadString(kKeys[i].section, kKeys[i].key, "\x01missing") == before[i],
                  "a write leaves every other key as it was");
  }
  return 0;
}
