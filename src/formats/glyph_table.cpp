#include "formats/glyph_table.h"

#include <cstring>

#include "base/byte_order.h"

namespace vykcn {

bool FindReferenceGlyph(const void* records, size_t count, GlyphRecord* reference) {
  const auto* bytes = static_cast<const uint8_t*>(records);
  for (size_t i = 0; i < count; ++i) {
    // Copied out: the module's table lies in its resource section with no alignment promised.
    GlyphRecord record;
    std::memcpy(&record, bytes + i * kGlyphRecordSize, kGlyphRecordSize);
    if (record.code == kReferenceGlyphCode) {
      *reference = record;
      return true;
    }
  }
  return false;
}

std::vector<uint8_t> SerializeGlyphTable(const std::vector<GlyphRecord>& records) {
  std::vector<uint8_t> bytes(records.size() * kGlyphRecordSize);
  for (size_t i = 0; i < records.size(); ++i) {
    const GlyphRecord& r = records[i];
    uint8_t* p = &bytes[i * kGlyphRecordSize];
    WriteU16LE(p, r.code);
    p[2] = static_cast<uint8_t>(r.offsetX);
    p[3] = static_cast<uint8_t>(r.offsetY);
    p[4] = static_cast<uint8_t>(r.advance);
    p[5] = r.width;
    p[6] = r.height;
    p[7] = r.reserved;
    WriteF32LE(p + 8, r.uLeft);
    WriteF32LE(p + 12, r.vTop);
    WriteF32LE(p + 16, r.uRight);
    WriteF32LE(p + 20, r.vBottom);
  }
  return bytes;
}

std::vector<GlyphRecord> ParseGlyphTable(const uint8_t* bytes, size_t size) {
  std::vector<GlyphRecord> records(size / kGlyphRecordSize);
  for (size_t i = 0; i < records.size(); ++i) {
    const uint8_t* p = bytes + i * kGlyphRecordSize;
    GlyphRecord& r = records[i];
    r.code = ReadU16LE(p);
    r.offsetX = static_cast<int8_t>(p[2]);
    r.offsetY = static_cast<int8_t>(p[3]);
    r.advance = static_cast<int8_t>(p[4]);
    r.width = p[5];
    r.height = p[6];
    r.reserved = p[7];
    r.uLeft = ReadF32LE(p + 8);
    r.vTop = ReadF32LE(p + 12);
    r.uRight = ReadF32LE(p + 16);
    r.vBottom = ReadF32LE(p + 20);
  }
  return records;
}

}  // namespace vykcn
