#pragma once

namespace platform {

// Makes standard output show the UTF-8 lines the headless server prints (a
// Windows console otherwise reads them in its own code page).
void PrepareConsoleOutput();

}  // namespace platform
