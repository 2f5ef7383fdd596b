#pragma once
#include "platform/date_time.h"

namespace platform {

// The local wall-clock time, as the operating system gives it.
DateTimeParts LocalNowParts();

}  // namespace platform
