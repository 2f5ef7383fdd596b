#include "platform/console.h"

namespace platform {

// Terminals here take UTF-8 as it is.
void PrepareConsoleOutput() {}

}  // namespace platform
