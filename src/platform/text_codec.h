#pragma once
#include <string>
#include <string_view>

namespace platform {

// UTF-8 is the in-memory form; GBK (code page 936) is what files and the
// encoder receive. A character GBK lacks becomes '?'.
std::string ToGbk(std::string_view utf8);

// Bytes in GBK back to UTF-8; a byte sequence that is not GBK becomes '?'.
std::string FromGbk(std::string_view gbk);

}  // namespace platform
