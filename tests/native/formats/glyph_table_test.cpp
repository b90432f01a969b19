// The glyph table as stored, and its size reference.
#include <gtest/gtest.h>

#include <vector>

#include "formats/glyph_table.h"
#include "glyph_records.h"

namespace vykcn {
namespace {

GlyphRecord Glyph(uint16_t code, uint8_t height) {
  return test::MakeGlyphRecord(code, -2, -20, 17, 15, height, 0.25f, 0.5f, 0.2578125f, 0.515625f);
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

TEST(GlyphTable, WritesLittleEndianRecordsOf24BytesAndReadsThemBack) {
  GlyphRecord m{};
  m.code = 0x4E2D;
  m.offsetX = 3;
  m.offsetY = -26;
  m.advance = 32;
  m.width = 26;
  m.height = 30;
  m.uLeft = 0.5f;      // 0x3F000000
  m.vTop = 0.25f;      // 0x3E800000
  m.uRight = 1.0f;     // 0x3F800000
  m.vBottom = -2.0f;   // 0xC0000000
  const std::vector<uint8_t> expected = {0x2D, 0x4E, 3,    0xE6, 32, 26,   30,   0,    0, 0, 0, 0x3F,
                                         0,    0,    0x80, 0x3E, 0,  0,    0x80, 0x3F, 0, 0, 0, 0xC0};
  const std::vector<uint8_t> bytes = SerializeGlyphTable({m});
  EXPECT_EQ(bytes, expected);

  std::vector<uint8_t> withTail = bytes;
  withTail.insert(withTail.end(), {1, 2, 3});  // a partial record is ignored
  const std::vector<GlyphRecord> back = ParseGlyphTable(withTail.data(), withTail.size());
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].code, 0x4E2D);
  EXPECT_EQ(back[0].offsetY, -26);
  EXPECT_EQ(back[0].vBottom, -2.0f);
}

}  // namespace
}  // namespace vykcn
