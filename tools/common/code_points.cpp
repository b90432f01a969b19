#include "common/code_points.h"

#include <cstdio>

namespace vykcn::tool {

std::string FormatCodePoint(uint32_t codePoint) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(codePoint));
  return buffer;
}

std::string EncodeUtf8(uint32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::string NamedCharacter(uint32_t c) {
  // Spaces, controls and surrogates show nothing readable after the code.
  const bool visible = c > 0x20 && !(c >= 0x7F && c <= 0xA0) && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF;
  return FormatCodePoint(c) + (visible ? " " + EncodeUtf8(c) : "");
}

}  // namespace vykcn::tool
