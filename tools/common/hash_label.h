#pragma once
// A SubtitleHash as the toolkit writes it, "0x1A2B3C4D", and reads it back wherever it takes one.
#include <cstdint>
#include <cstdio>
#include <string>

namespace vykcn::tool {

inline std::string HashLabel(uint32_t hash) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hash));
  return text;
}

// "0x" and one to eight hex digits, in either case. Nothing else is a hash: a decimal number or bare
// hex digits would be read as a different hash than the one meant, so false for those.
inline bool ParseHashLabel(const std::string& text, uint32_t* hash) {
  if (text.size() < 3 || text.size() > 10 || text.compare(0, 2, "0x") != 0) return false;
  uint32_t value = 0;
  for (size_t i = 2; i < text.size(); ++i) {
    const char c = text[i];
    uint32_t digit;
    if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
    else return false;
    value = value << 4 | digit;
  }
  *hash = value;
  return true;
}

}  // namespace vykcn::tool
