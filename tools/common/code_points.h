#pragma once
// Characters as the toolkit's messages name them.
#include <cstdint>
#include <string>

namespace vykcn::tool {

// "U+4E2D" style, at least four hex digits.
std::string FormatCodePoint(uint32_t codePoint);

}  // namespace vykcn::tool
