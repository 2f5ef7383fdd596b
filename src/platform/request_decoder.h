#pragma once
#include <string>
#include <string_view>

namespace platform {

// Decodes the bytes of a request, read off the wire, into UTF-8 text.
// Lenient as the hotel software has always been served: one to three byte
// sequences are taken by their bit pattern alone (overlong forms accepted),
// and a well-formed four-byte sequence gives its character. Any sequence
// whose continuation byte is missing or not of the form 10xxxxxx makes the
// whole result empty. 16-bit units that form a surrogate pair are joined;
// a lone surrogate becomes U+FFFD so the result is always valid UTF-8.
std::string DecodeRequestBytes(std::string_view bytes);

}  // namespace platform
