#pragma once
// Glyph records for the tests that hand a table to the code under test.
#include <cstdint>

#include "formats/glyph_table.h"

namespace vykcn::test {

// A record with the given metrics and normalized atlas rectangle, its fields in stored order;
// the reserved byte is 0, as a stored table has it.
inline GlyphRecord MakeGlyphRecord(uint16_t code, int8_t offsetX, int8_t offsetY, int8_t advance, uint8_t width,
                                   uint8_t height, float uLeft, float vTop, float uRight, float vBottom) {
  return GlyphRecord{code, offsetX, offsetY, advance, width, height, 0, uLeft, vTop, uRight, vBottom};
}

}  // namespace vykcn::test
