#pragma once
// The characters a glyph table must cover: U+0020 to U+007F, plus every character that the texts
// use except tab and line feed, each once, in ascending order; and the Latin characters that every
// table holds when its font has them.
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

// The Latin punctuation and letters that English game text uses, which a glyph table holds beside
// the texts' own characters whenever the font has them, so that a text the team leaves in English
// still draws: Latin-1's printable characters (U+00A0 to U+00FF), the ligatures Œ œ and Ÿ, the
// en and em dashes, the curly quotes ‘ ’ ‚ “ ” „, the bullet, the ellipsis, € and ™. Ascending.
const std::vector<uint16_t>& LatinExtras();

}  // namespace vykcn::tool
