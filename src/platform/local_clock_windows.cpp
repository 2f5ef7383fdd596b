#include "platform/local_clock.h"

#include <windows.h>

namespace platform {

DateTimeParts LocalNowParts() {
  // GetLocalTime applies the zone and daylight saving the way the rest of
  // the PC (and the hotel software beside the server) sees them.
  SYSTEMTIME now{};
  GetLocalTime(&now);
  DateTimeParts parts;
  parts.year = now.wYear;
  parts.month = now.wMonth;
  parts.day = now.wDay;
  parts.hour = now.wHour;
  parts.minute = now.wMinute;
  parts.second = now.wSecond > 59 ? 59 : now.wSecond;
  parts.millisecond = now.wMilliseconds;
  return parts;
}

}  // namespace platform
