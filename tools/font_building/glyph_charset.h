#pragma once
// The characters a glyph table must cover: U+0020 to U+007F, plus every character that the
// translations use except tab and line feed, each once, in ascending order.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

struct GlyphCharset {
  std::vector<uint16_t> codes;          // ascending, unique
  std::vector<uint32_t> unsupported;    // used characters beyond U+FFFF (one UTF-16 unit per record)
};

// Throws CommandError when a text is not valid UTF-8.
GlyphCharset BuildGlyphCharset(const std::vector<std::string>& texts);

}  // namespace vykcn::tool
