#pragma once
// What `diff` says of two modules' fonts: the glyphs added, removed and changed in their metrics,
// and the glyphs whose atlas rectangle holds other alpha, as translators read a diff.
#include "commands/compared_image.h"

namespace vykcn::tool {

// Prints "- U+00E9 é" for a glyph only OLD has, "+ U+02BB ʻ" for one only NEW has (removed ones
// first, then in code order), "~ U+004D M: height 16 -> 21, ...; drawn differently" for one whose
// metrics or decoded atlas alpha differ, then "glyphs: A added, R removed, C changed, U unchanged"
// (by metrics) and "atlas: N glyphs changed, U unchanged" (by alpha, of the glyphs both have).
// True when anything differs, the atlas's size included.
bool PrintFontDifferences(const ComparedFont& before, const ComparedFont& after);

}  // namespace vykcn::tool
