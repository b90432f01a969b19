// The glyph table as stored, and its size reference.
#include <gtest/gtest.h>

#include <vector>

#include "formats/glyph_table.h"

namespace vykcn {
namespace {

GlyphRecord Glyph(uint16_t code, uint8_t height) {
  GlyphRecord r{};
  r.code = code;
  r.offsetX = -2;
  r.offsetY = -20;
  r.advance = 17;
  r.width = 15;
  r.height = height;
  r.uLeft = 0.25f;
  r.vTop = 0.5f;
  r.uRight = 0.2578125f;
  r.vBottom = 0.515625f;
  return r;
}

TEST(GlyphTable, SerializeAndParseRoundTripAndIgnoreAPartialRecord) {
  const std::vector<GlyphRecord> records = {Glyph('A', 20), Glyph(0x4E2D, 31)};
  std::vector<uint8_t> bytes = SerializeGlyphTable(records);
  ASSERT_EQ(bytes.size(), 2 * kGlyphRecordSize);
  EXPECT_EQ(bytes[24], 0x2D);  // code, little-endian
  EXPECT_EQ(bytes[25], 0x4E);
  EXPECT_EQ(bytes[2], 0xFE);   // offsetX -2
  bytes.resize(bytes.size() + 5);
  const std::vector<GlyphRecord> parsed = ParseGlyphTable(bytes.data(), bytes.size());
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(SerializeGlyphTable(parsed), SerializeGlyphTable(records));
}

TEST(GlyphTable, ReferenceIsTheFirstM) {
  GlyphRecord reference;
  EXPECT_FALSE(FindReferenceGlyph(std::vector<GlyphRecord>{Glyph('A', 20)}, &reference));
  EXPECT_FALSE(FindReferenceGlyph(std::vector<GlyphRecord>{}, &reference));
  ASSERT_TRUE(FindReferenceGlyph(std::vector<GlyphRecord>{Glyph('A', 20), Glyph('M', 0), Glyph('M', 25)}, &reference));
  EXPECT_EQ(reference.height, 0);  // the first one counts, even without a height

  // A table at an odd address, as a resource may lie.
  const std::vector<uint8_t> bytes = SerializeGlyphTable({Glyph('B', 3), Glyph('M', 24)});
  std::vector<uint8_t> shifted(1, 0);
  shifted.insert(shifted.end(), bytes.begin(), bytes.end());
  ASSERT_TRUE(FindReferenceGlyph(shifted.data() + 1, 2, &reference));
  EXPECT_EQ(reference.height, 24);
  EXPECT_FALSE(FindReferenceGlyph(shifted.data() + 1, 1, &reference));  // only the count is read
}

}  // namespace
}  // namespace vykcn
