#include "platform/console.h"

#include <windows.h>

namespace platform {

void PrepareConsoleOutput() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace platform
