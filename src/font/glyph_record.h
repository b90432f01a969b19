#pragma once
// One glyph's metrics: the 24-byte record shared by resource 101 and the host's font.
#include <cstddef>
#include <cstdint>

namespace vykcn {

struct GlyphRecord {
  uint16_t code;     // UTF-16 code unit
  int8_t offsetX;    // pen position to the rectangle's left edge, pixels
  int8_t offsetY;    // baseline to the rectangle's top edge, pixels (negative: above)
  int8_t advance;    // pen movement after the glyph, pixels
  uint8_t width;     // rectangle width, pixels = atlas texels
  uint8_t height;    // rectangle height; the 'M' record's height is the font's size reference
  uint8_t reserved;  // 0
  float uLeft;       // normalized atlas coordinates of the rectangle
  float vTop;
  float uRight;
  float vBottom;
};
static_assert(sizeof(GlyphRecord) == 24, "GlyphRecord is 24 packed bytes");
static_assert(offsetof(GlyphRecord, uLeft) == 8, "floats start at byte 8");

constexpr size_t kGlyphRecordSize = sizeof(GlyphRecord);
constexpr uint16_t kReferenceGlyphCode = 77;  // 'M': its height sets the font's size
constexpr int kAtlasWidth = 2048;             // font atlas texels
constexpr int kAtlasHeight = 1024;

}  // namespace vykcn
