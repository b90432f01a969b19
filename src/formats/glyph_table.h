#pragma once
// Resource 101, the glyph table: GlyphRecord after GlyphRecord, 24 bytes each, little-endian, no
// header; the host's font holds its glyphs in the same records.
#include <cstddef>
#include <cstdint>
#include <vector>

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

// The size reference of a table of `count` records laid out as in memory (the module's resource
// or a GlyphRecord array): a copy of its first 'M' record. False when it has none.
bool FindReferenceGlyph(const void* records, size_t count, GlyphRecord* reference);
inline bool FindReferenceGlyph(const std::vector<GlyphRecord>& records, GlyphRecord* reference) {
  return FindReferenceGlyph(records.data(), records.size(), reference);
}

// The table as stored: every record, little-endian.
std::vector<uint8_t> SerializeGlyphTable(const std::vector<GlyphRecord>& records);

// Reads every whole record; a trailing partial record is ignored, as the module ignores it.
std::vector<GlyphRecord> ParseGlyphTable(const uint8_t* bytes, size_t size);

}  // namespace vykcn
