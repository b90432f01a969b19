#include "common/code_points.h"

#include <cstdio>

namespace vykcn::tool {

std::string FormatCodePoint(uint32_t codePoint) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(codePoint));
  return buffer;
}

}  // namespace vykcn::tool
