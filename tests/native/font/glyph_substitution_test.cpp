#include "font/glyph_substitution.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "formats/resource_ids.h"
#include "glyph_records.h"

namespace vykcn {
namespace {

// One atlas rectangle for every record: scaling must leave it as it is.
GlyphRecord Glyph(uint16_t code, int8_t x, int8_t y, int8_t advance, uint8_t w, uint8_t h) {
  return test::MakeGlyphRecord(code, x, y, advance, w, h, 0.25f, 0.5f, 0.75f, 1.0f);
}

// Resource 101 as in-memory bytes; counts the loads and can fail them.
class FakeResources : public OwnResources {
 public:
  explicit FakeResources(std::vector<GlyphRecord> records, size_t extraBytes = 0) {
    bytes.resize(records.size() * sizeof(GlyphRecord) + extraBytes, 0xAB);
    if (!records.empty()) std::memcpy(bytes.data(), records.data(), records.size() * sizeof(GlyphRecord));
  }
  bool LoadData(uint32_t id, ResourceBytes* out) override {
    ++loads;
    EXPECT_EQ(id, kGlyphTableResourceId);
    if (fail) return false;
    out->data = bytes.data();
    out->size = static_cast<uint32_t>(bytes.size());
    return true;
  }
  std::vector<uint8_t> bytes;
  int loads = 0;
  bool fail = false;
};

const std::vector<GlyphRecord> kModuleGlyphs = {
    Glyph(' ', 0, 0, 9, 1, 1),
    Glyph('M', 3, -25, 31, 25, 25),
    Glyph(0x4E2D, 3, -26, 32, 26, 30),
};

struct HostFont {
  std::vector<GlyphRecord> glyphs;
  GlyphRecord* array;
  uint32_t count;
  explicit HostFont(std::vector<GlyphRecord> g) : glyphs(std::move(g)), array(glyphs.data()),
      count(static_cast<uint32_t>(glyphs.size())) {}
};

HostFont HostWithM(uint8_t height) { return HostFont({Glyph('A', 1, 1, 1, 1, 1), Glyph('M', 0, 0, 0, 0, height)}); }

void ExpectMetrics(const GlyphRecord& r, int x, int y, int advance, int w, int h) {
  EXPECT_EQ(r.offsetX, x);
  EXPECT_EQ(r.offsetY, y);
  EXPECT_EQ(r.advance, advance);
  EXPECT_EQ(r.width, w);
  EXPECT_EQ(r.height, h);
}

TEST(GlyphSubstitution, WorkedExampleAtScale08TruncatesTowardZero) {
  FakeResources resources(kModuleGlyphs);
  GlyphSubstitution substitution(resources);
  HostFont host = HostWithM(20);
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  ASSERT_EQ(host.count, 3u);
  ExpectMetrics(host.array[0], 0, 0, 7, 0, 0);
  ExpectMetrics(host.array[1], 2, -20, 24, 20, 20);
  ExpectMetrics(host.array[2], 2, -20, 25, 20, 24);  // -26 * 0.8 = -20.8 -> -20
  EXPECT_EQ(host.array[2].code, 0x4E2D);
  EXPECT_EQ(host.array[2].uRight, 0.75f);
  substitution.ReleaseGlyphTables();
}

TEST(GlyphSubstitution, ScaleOneGivesAByteForByteCopy) {
  for (HostFont host : {HostWithM(25), HostFont({Glyph('A', 1, 1, 1, 1, 1)}), HostFont({})}) {
    FakeResources resources(kModuleGlyphs);
    GlyphSubstitution substitution(resources);
    substitution.ReplaceGlyphTable(&host.array, &host.count);
    ASSERT_EQ(host.count, 3u);
    EXPECT_EQ(std::memcmp(host.array, resources.bytes.data(), resources.bytes.size()), 0);
    substitution.ReleaseGlyphTables();
  }
}

TEST(GlyphSubstitution, HostMOfHeightZeroZeroesTheMetricsOnly) {
  FakeResources resources(kModuleGlyphs);
  GlyphSubstitution substitution(resources);
  HostFont host = HostWithM(0);
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  for (uint32_t i = 0; i < host.count; ++i) {
    ExpectMetrics(host.array[i], 0, 0, 0, 0, 0);
    EXPECT_EQ(host.array[i].code, kModuleGlyphs[i].code);
    EXPECT_EQ(host.array[i].vBottom, 1.0f);
  }
  substitution.ReleaseGlyphTables();
}

TEST(GlyphSubstitution, ProductsWrapToTheirLow8Bits) {
  FakeResources resources(kModuleGlyphs);
  GlyphSubstitution substitution(resources);
  HostFont host = HostWithM(100);  // scale 4.0
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  EXPECT_EQ(static_cast<uint8_t>(host.array[2].advance), 0x80);  // 128 -> -128
  EXPECT_EQ(host.array[2].advance, -128);
  EXPECT_EQ(host.array[2].height, 120);
  EXPECT_EQ(host.array[1].offsetY, -100);
  EXPECT_EQ(host.array[2].offsetY, static_cast<int8_t>(-104));
  substitution.ReleaseGlyphTables();
}

TEST(GlyphSubstitution, SecondCallScalesFromTheArrayTheFirstWrote) {
  FakeResources resources(kModuleGlyphs);
  GlyphSubstitution substitution(resources);
  HostFont host = HostWithM(53);  // 25 * (53/25) truncates to 52
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  GlyphRecord* first = host.array;
  EXPECT_EQ(first[1].height, 52);
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  EXPECT_NE(host.array, first);
  EXPECT_EQ(host.array[1].height, 52);  // 25 * (52/25) is 52 again
  ASSERT_EQ(substitution.IssuedGlyphTables().size(), 2u);
  EXPECT_EQ(substitution.IssuedGlyphTables()[0], first);
  EXPECT_EQ(substitution.IssuedGlyphTables()[1], host.array);
  EXPECT_EQ(resources.loads, 1);  // loaded once
  substitution.ReleaseGlyphTables();
  EXPECT_TRUE(substitution.IssuedGlyphTables().empty());
  substitution.ReleaseGlyphTables();  // nothing left to free twice
}

TEST(GlyphSubstitution, ModuleTableWithoutAUsableMKeepsScaleOne) {
  for (uint8_t moduleM : {uint8_t{0}, uint8_t{1}}) {
    std::vector<GlyphRecord> glyphs = {Glyph(' ', 0, 0, 9, 1, 1)};
    if (moduleM == 0) glyphs.push_back(Glyph('M', 3, -25, 31, 25, 0));  // 'M' of height 0
    FakeResources resources(glyphs);
    GlyphSubstitution substitution(resources);
    HostFont host = HostWithM(20);
    substitution.ReplaceGlyphTable(&host.array, &host.count);
    EXPECT_EQ(substitution.referenceHeight(), 0);
    EXPECT_EQ(std::memcmp(host.array, resources.bytes.data(), resources.bytes.size()), 0);
    substitution.ReleaseGlyphTables();
  }
}

TEST(GlyphSubstitution, TrailingPartialRecordIsIgnored) {
  FakeResources resources(kModuleGlyphs, 23);
  GlyphSubstitution substitution(resources);
  HostFont host = HostWithM(25);
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  EXPECT_EQ(host.count, 3u);
  EXPECT_EQ(substitution.moduleGlyphCount(), 3u);
  substitution.ReleaseGlyphTables();
}

TEST(GlyphSubstitution, FailedLoadHandsOutAnEmptyTableAndRetries) {
  FakeResources resources(kModuleGlyphs);
  resources.fail = true;
  GlyphSubstitution substitution(resources);
  HostFont host = HostWithM(20);
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  EXPECT_EQ(host.count, 0u);
  EXPECT_NE(host.array, host.glyphs.data());
  EXPECT_EQ(substitution.IssuedGlyphTables().size(), 1u);

  resources.fail = false;  // the next call loads again, and succeeds
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  EXPECT_EQ(resources.loads, 2);
  EXPECT_EQ(host.count, 3u);
  EXPECT_EQ(substitution.IssuedGlyphTables().size(), 2u);
  substitution.ReleaseGlyphTables();
}

TEST(GlyphSubstitution, ExhaustedMemoryLeavesTheHostFontUntouched) {
  FakeResources resources(kModuleGlyphs);
  GlyphSubstitution substitution(resources, [](size_t) -> void* { return nullptr; });
  HostFont host = HostWithM(20);
  substitution.ReplaceGlyphTable(&host.array, &host.count);
  EXPECT_EQ(host.array, host.glyphs.data());
  EXPECT_EQ(host.count, 2u);
  EXPECT_TRUE(substitution.IssuedGlyphTables().empty());
}

}  // namespace
}  // namespace vykcn
