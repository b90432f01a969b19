#pragma once
// Records of a host font's own glyph table, as the tests hand it to the module.
#include <cstdint>

#include "formats/glyph_table.h"

namespace vykcn::test {

// The module reads only the host's codes and heights: the first 'M' height sets the scale.
inline GlyphRecord HostGlyph(uint16_t code, uint8_t height) {
  GlyphRecord r{};
  r.code = code;
  r.height = height;
  return r;
}

}  // namespace vykcn::test
