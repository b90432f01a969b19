#pragma once
// Byte-oriented charsets decoded by the platform: iconv on POSIX, the system's code pages
// (MultiByteToWideChar) on Windows. The toolkit asks only for short sequences, to build its own
// tables (common/charset_conversion.cpp), so that what a charset means is decided in one place.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vykcn::tool::system {

struct CodePage {
  const char* name;         // as iconv knows it
  unsigned windowsNumber;   // as Windows knows it
};

// The characters that `bytes` encode; false when they are not one whole valid sequence of the
// code page or the platform does not know it.
bool DecodeInCodePage(const CodePage& page, const uint8_t* bytes, size_t size, std::vector<uint32_t>* codePoints);

}  // namespace vykcn::tool::system
