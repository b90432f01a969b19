#pragma once
// A SubtitleHash as the toolkit writes it: "0x1A2B3C4D".
#include <cstdint>
#include <cstdio>
#include <string>

namespace vykcn::tool {

inline std::string HashLabel(uint32_t hash) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hash));
  return text;
}

}  // namespace vykcn::tool
