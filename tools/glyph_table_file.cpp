#include "glyph_table_file.h"

#include <cstring>

namespace vykcn::tool {
namespace {

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void PutF32(uint8_t* p, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

float GetF32(const uint8_t* p) {
  const uint32_t bits = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

}  // namespace

std::vector<uint8_t> SerializeGlyphTable(const std::vector<GlyphRecord>& records) {
  std::vector<uint8_t> bytes(records.size() * kGlyphRecordSize);
  for (size_t i = 0; i < records.size(); ++i) {
    const GlyphRecord& r = records[i];
    uint8_t* p = &bytes[i * kGlyphRecordSize];
    PutU16(p, r.code);
    p[2] = static_cast<uint8_t>(r.offsetX);
    p[3] = static_cast<uint8_t>(r.offsetY);
    p[4] = static_cast<uint8_t>(r.advance);
    p[5] = r.width;
    p[6] = r.height;
    p[7] = r.reserved;
    PutF32(p + 8, r.uLeft);
    PutF32(p + 12, r.vTop);
    PutF32(p + 16, r.uRight);
    PutF32(p + 20, r.vBottom);
  }
  return bytes;
}

std::vector<GlyphRecord> ParseGlyphTable(const uint8_t* bytes, size_t size) {
  std::vector<GlyphRecord> records(size / kGlyphRecordSize);
  for (size_t i = 0; i < records.size(); ++i) {
    const uint8_t* p = bytes + i * kGlyphRecordSize;
    GlyphRecord& r = records[i];
    r.code = static_cast<uint16_t>(p[0] | p[1] << 8);
    r.offsetX = static_cast<int8_t>(p[2]);
    r.offsetY = static_cast<int8_t>(p[3]);
    r.advance = static_cast<int8_t>(p[4]);
    r.width = p[5];
    r.height = p[6];
    r.reserved = p[7];
    r.uLeft = GetF32(p + 8);
    r.vTop = GetF32(p + 12);
    r.uRight = GetF32(p + 16);
    r.vBottom = GetF32(p + 20);
  }
  return records;
}

}  // namespace vykcn::tool
