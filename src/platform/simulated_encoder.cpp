#include "platform/simulated_encoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/integer_text.h"
#include "platform/text_codec.h"

namespace platform {

namespace {

constexpr const char* kEncoder = "Encoder";
constexpr const char* kCard = "Card";
constexpr const char* kDefaultSerial = "00012340";
// TIniFile gives the fallback only for a missing key; this one cannot be a
// value a tester typed, so it tells "missing" from "empty".
constexpr const char* kMissing = "\x01";

constexpr const char* kHeaderWritten = "552101";
constexpr const char* kHeaderNoCard = "552100";

// The ini is edited by hand, and design notes show values followed by
// "; comment"; the profile-string rules would keep such a comment as part of
// the value, so the simulator drops it itself for its numeric keys.
std::string WithoutComment(std::string value) {
  if (auto semicolon = value.find(';'); semicolon != std::string::npos) value.erase(semicolon);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  return value;
}

// Exactly `width` characters: longer text is cut, shorter text padded with
// `pad` on the given side, so positions in the card text never shift.
std::string Fit(std::string text, std::size_t width, char pad, bool padLeft) {
  if (text.size() > width) text.resize(width);
  if (text.size() < width) {
    std::string filler(width - text.size(), pad);
    text = padLeft ? filler + text : text + filler;
  }
  return text;
}

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<std::uint32_t>(value & ((1ull << (4 * digits)) - 1)));
  return text;
}

// CRC-16/CCITT of the room text: puts the room into the first 16 characters
// of the card data, so a card read back for another room fails verification.
std::uint16_t RoomChecksum(const std::string& room) {
  std::uint16_t crc = 0xFFFF;
  for (unsigned char byte : room) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                           : static_cast<std::uint16_t>(crc << 1);
  }
  return crc;
}

// Copies text and its NUL into a caller's buffer of `size` bytes.
void PutText(char* buffer, std::size_t size, const std::string& text) {
  std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

constexpr std::size_t kBufferSize = 81;

struct TCardState {
  bool blank = true;
  std::string room, validUntil, issueTime;
  std::int32_t hotelId = 0, bianhao = 0, lock = 0;
};

// 38 characters: validity, room checksum and deadlock flag first (the 16
// characters a write leaves behind and the read-back must repeat), then the
// issue time and the identity the card was written for.
std::string CardData(const TCardState& card) {
  if (card.blank) return std::string(38, 'F');
  std::string data = Fit(card.validUntil, 10, '0', false) + Hex(RoomChecksum(card.room), 4) +
                     Hex(card.lock ? 1 : 0, 2);
  data += Fit(card.issueTime, 12, '0', false) + Hex(card.hotelId, 4) + Hex(card.bianhao, 4);
  unsigned sum = 0;
  for (unsigned char c : data) sum += c;
  return data + Hex(sum, 2);
}

// One read of the file per library call: every key the call looks at comes
// from the same state of the file.
std::int32_t Setting(const TIniValues& ini, const char* section, const char* key,
                     std::int32_t fallback) {
  auto value = TryStrToInt(WithoutComment(ini.ReadString(section, key, "")));
  return value ? *value : fallback;
}

bool Connected(const TIniValues& ini) { return Setting(ini, kEncoder, "Connected", 1) != 0; }

bool CardPresent(const TIniValues& ini) { return Setting(ini, kCard, "Present", 1) != 0; }

// The card as the file holds it; blank when it was never written (no Room
// key) or its validity is empty (the layout copied from the notes).
TCardState StoredCard(const TIniValues& ini) {
  TCardState card;
  const std::string room = ini.ReadString(kCard, "Room", kMissing);
  card.validUntil = WithoutComment(ini.ReadString(kCard, "ValidUntil", ""));
  card.blank = room == kMissing || card.validUntil.empty();
  if (card.blank) return card;
  card.room = room;
  card.issueTime = WithoutComment(ini.ReadString(kCard, "IssueTime", ""));
  card.hotelId = Setting(ini, kCard, "HotelID", 0);
  card.bianhao = Setting(ini, kCard, "Bianhao", 0);
  card.lock = Setting(ini, kCard, "LLock", 0);
  return card;
}

}  // namespace

TSimulatedEncoder::TSimulatedEncoder(const std::string& directory)
    : Ini_(directory + "SimEncoder.ini") {}

void TSimulatedEncoder::AddMissingDefaults() {
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } defaults[] = {
      {kEncoder, "Connected", "1"}, {kEncoder, "HotelID", "0"}, {kEncoder, "Bianhao", "0"},
      {kCard, "Present", "1"},      {kCard, "Serial", kDefaultSerial},
  };
  const TIniValues ini = Ini_.ReadAll();
  try {
    for (const auto& d : defaults)
      if (ini.ReadString(d.section, d.key, kMissing) == kMissing)
        Ini_.WriteString(d.section, d.key, d.value);
  } catch (const std::runtime_error&) {
    // Only a convenience for the tester: with a read-only directory the
    // defaults still apply, so the encoder opens as usual.
  }
}

std::int32_t TSimulatedEncoder::IniUsbDevice() {
  // Opening is where a tester first looks for the file: make every key of
  // the situation visible without changing any value already there.
  AddMissingDefaults();
  return Connected(Ini_.ReadAll()) ? 0 : 1;
}

std::int32_t TSimulatedEncoder::ReadBianHaoID(char* identity) {
  const TIniValues ini = Ini_.ReadAll();
  if (!Connected(ini)) return -1;
  std::string text = "QSIM01" + Hex(Setting(ini, kEncoder, "HotelID", 0), 4) +
                     Hex(Setting(ini, kEncoder, "Bianhao", 0), 4);
  PutText(identity, kBufferSize, text);
  return 0;
}

std::int32_t TSimulatedEncoder::Buzzer(std::int32_t, std::int32_t) {
  return Connected(Ini_.ReadAll()) ? 0 : 1;
}

std::int32_t TSimulatedEncoder::RoomCard(std::int32_t hotelId, std::int32_t bianhao,
                                         const char* issueTime, std::uint8_t deadlock,
                                         const char* validUntil, const char* room,
                                         std::int32_t kind, char* cardBuffer) {
  // Without encoder or card nothing is written and the buffer keeps its
  // blanks, as the read-back then shows the failure.
  const TIniValues before = Ini_.ReadAll();
  if (!Connected(before) || !CardPresent(before)) return 1;
  try {
    // One replacement of the file: a card is written whole or not at all.
    Ini_.WriteStrings(kCard, {{"Room", FromGbk(room)},
                              {"ValidUntil", FromGbk(validUntil)},
                              {"IssueTime", FromGbk(issueTime)},
                              {"HotelID", std::to_string(hotelId)},
                              {"Bianhao", std::to_string(bianhao)},
                              {"LLock", deadlock != 0 ? "1" : "0"}});
  } catch (const std::runtime_error&) {
    // A card that could not be stored was not written: the buffer keeps its
    // blanks and the caller's read-back reports it.
    return 2;
  }
  // Built from what the file now holds, exactly as GetCardInfo will, so the
  // read-back repeats these characters whenever the write really landed.
  const TCardState card = StoredCard(Ini_.ReadAll());
  PutText(cardBuffer, kBufferSize, CardData(card));
  return 0;
}

std::int32_t TSimulatedEncoder::GetCardInfo(char* cardBuffer, std::int32_t, std::int32_t) {
  const TIniValues ini = Ini_.ReadAll();
  if (!Connected(ini) || !CardPresent(ini)) {
    // The encoder answers "no card" in its header; nothing else on the line
    // means anything then.
    PutText(cardBuffer, kBufferSize,
            std::string(8, '0') + kHeaderNoCard + "FFFF" + std::string(38, '0'));
    return 1;
  }
  std::string serial = WithoutComment(ini.ReadString(kCard, "Serial", ""));
  if (serial.empty()) serial = kDefaultSerial;
  const TCardState card = StoredCard(ini);
  std::string text = Fit(ToGbk(serial), 8, '0', true) + kHeaderWritten +
                     (card.blank ? std::string("FFFF") : Hex(card.bianhao, 4)) + CardData(card);
  PutText(cardBuffer, kBufferSize, text);
  return 0;
}

std::int32_t TSimulatedEncoder::IniUsb() { return Connected(Ini_.ReadAll()) ? 0 : 1; }

}  // namespace platform
