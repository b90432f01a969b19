// Glyph records and atlas coverage made from a real font, and the ways packing a font fails.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "common/command_error.h"
#include "font_building/atlas_packer.h"
#include "font_building/font_pack.h"
#include "font_building/glyph_charset.h"
#include "formats/glyph_table.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"

namespace vykcn::tool {
namespace {

using test::kDroidFallback;
using test::kMicroHei;

const std::vector<std::string> kTexts = {"你好，世界！", "“中文字幕”……测试。\n第二行\t制表", "Hello, 中国"};

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CommandError& e) {
    return e.what();
  }
  return "(no error)";
}

// Packed once for the tests that only read it.
const FontPack& MicroHeiPack() {
  static const FontPack pack = BuildFontPack(kMicroHei, BuildGlyphCharset(kTexts));
  return pack;
}

const GlyphRecord& RecordOf(const FontPack& pack, uint16_t code) {
  const auto it = std::find_if(pack.records.begin(), pack.records.end(), [&](const GlyphRecord& r) { return r.code == code; });
  EXPECT_NE(it, pack.records.end()) << "no record for " << code;
  return *it;
}

TEST(GlyphCharset, IsPrintableAsciiPlusUsedCharactersAscendingWithoutTabAndLineFeed) {
  const GlyphCharset charset = BuildGlyphCharset({"b\ta\n中", "中😀\r"});
  std::vector<uint16_t> expected = {0x0D};
  for (uint16_t c = 0x20; c <= 0x7F; ++c) expected.push_back(c);
  expected.push_back(0x4E2D);
  EXPECT_EQ(charset.codes, expected);
  EXPECT_EQ(charset.unsupported, std::vector<uint32_t>{0x1F600});
  EXPECT_THROW(BuildGlyphCharset({"\xC0\xAF"}), CommandError);      // overlong '/'
  EXPECT_THROW(BuildGlyphCharset({"\xED\xA0\x80"}), CommandError);  // surrogate
  EXPECT_THROW(BuildGlyphCharset({"\xE4\xB8"}), CommandError);      // cut short
}

TEST(FontPack, RecordsFollowTheTableRules) {
  const FontPack& pack = MicroHeiPack();
  const GlyphCharset charset = BuildGlyphCharset(kTexts);
  ASSERT_EQ(pack.records.size(), charset.codes.size());

  const GlyphRecord& m = RecordOf(pack, 'M');
  EXPECT_EQ(m.height, 25);
  EXPECT_EQ(m.offsetY, -25);  // 'M' stands on the baseline
  EXPECT_GT(m.advance, m.width);

  for (size_t i = 0; i < pack.records.size(); ++i) {
    const GlyphRecord& r = pack.records[i];
    SCOPED_TRACE(testing::Message() << "code " << std::hex << r.code);
    EXPECT_EQ(r.code, charset.codes[i]);
    if (i > 0) {
      EXPECT_LT(pack.records[i - 1].code, r.code);
    }
    EXPECT_EQ(r.reserved, 0);
    const float left = r.uLeft * 2048, right = r.uRight * 2048, top = r.vTop * 1024, bottom = r.vBottom * 1024;
    EXPECT_EQ(left, std::floor(left));
    EXPECT_EQ(right, std::floor(right));
    EXPECT_EQ(top, std::floor(top));
    EXPECT_EQ(bottom, std::floor(bottom));
    EXPECT_EQ((r.uRight - r.uLeft) * 2048, float(r.width));
    EXPECT_EQ((r.vBottom - r.vTop) * 1024, float(r.height));
    EXPECT_LT(r.uLeft, r.uRight);
    EXPECT_LT(r.vTop, r.vBottom);
    EXPECT_GE(left, 0);
    EXPECT_LE(right, 2048);
    EXPECT_GE(top, 0);
    EXPECT_LE(bottom, 1024);
  }

  const GlyphRecord& space = RecordOf(pack, ' ');
  const GlyphRecord& del = RecordOf(pack, 0x7F);
  EXPECT_EQ(space.advance, del.advance);
  EXPECT_EQ(space.offsetX, del.offsetX);
  EXPECT_EQ(space.offsetY, del.offsetY);
  EXPECT_EQ(space.width, del.width);
  EXPECT_EQ(space.height, del.height);
  EXPECT_GT(space.advance, 0);

  // Ideographs of one font advance alike and are taller than they are below the baseline.
  EXPECT_EQ(RecordOf(pack, 0x4E2D).advance, RecordOf(pack, 0x4F60).advance);
  EXPECT_LT(RecordOf(pack, 0x4E2D).offsetY, -20);
}

TEST(FontPack, RectanglesNeverOverlapOrTouch) {
  const FontPack& pack = MicroHeiPack();
  for (size_t i = 0; i < pack.records.size(); ++i) {
    for (size_t j = i + 1; j < pack.records.size(); ++j) {
      const GlyphRecord& a = pack.records[i];
      const GlyphRecord& b = pack.records[j];
      const int ax = int(a.uLeft * 2048), ay = int(a.vTop * 1024), bx = int(b.uLeft * 2048), by = int(b.vTop * 1024);
      // At least one transparent texel between them, in x or in y.
      const bool apart = ax + a.width + 1 <= bx || bx + b.width + 1 <= ax || ay + a.height + 1 <= by ||
                         by + b.height + 1 <= ay;
      EXPECT_TRUE(apart) << std::hex << a.code << " and " << b.code;
    }
  }
}

// Each rectangle holds what FreeType draws for its character at the pack's size; outside the
// rectangles the atlas is empty.
TEST(FontPack, AtlasHoldsEachGlyphsCoverageAndNothingElse) {
  const FontPack& pack = MicroHeiPack();
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, kMicroHei.c_str(), 0, &face), 0);
  ASSERT_EQ(FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pack.pixelSize * 64)), 72, 72), 0);

  std::vector<uint8_t> claimed(pack.coverage.size(), 0);
  for (const GlyphRecord& r : pack.records) {
    const int x0 = int(r.uLeft * 2048), y0 = int(r.vTop * 1024);
    for (int y = 0; y < r.height; ++y)
      for (int x = 0; x < r.width; ++x) claimed[size_t(y0 + y) * 2048 + x0 + x] = 1;
    if (r.code == 0x7F) continue;
    ASSERT_EQ(FT_Load_Char(face, r.code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP), 0);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    // The rectangle is FreeType's bitmap without its blank outer rows and columns.
    int inkLeft = int(bitmap.width), inkRight = -1, inkTop = int(bitmap.rows), inkBottom = -1;
    for (int y = 0; y < int(bitmap.rows); ++y)
      for (int x = 0; x < int(bitmap.width); ++x)
        if (bitmap.buffer[y * bitmap.pitch + x] != 0) {
          inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x);
          inkTop = std::min(inkTop, y), inkBottom = std::max(inkBottom, y);
        }
    if (inkRight < 0) {
      EXPECT_EQ(pack.coverage[size_t(y0) * 2048 + x0], 0);
      continue;
    }
    ASSERT_EQ(inkRight - inkLeft + 1, r.width) << std::hex << r.code;
    ASSERT_EQ(inkBottom - inkTop + 1, r.height) << std::hex << r.code;
    EXPECT_EQ(face->glyph->bitmap_left + inkLeft, r.offsetX);
    EXPECT_EQ(-face->glyph->bitmap_top + inkTop, r.offsetY);
    EXPECT_EQ(int((face->glyph->advance.x + 32) >> 6), r.advance);
    int mismatches = 0;
    for (int y = 0; y < r.height; ++y)
      for (int x = 0; x < r.width; ++x)
        mismatches += pack.coverage[size_t(y0 + y) * 2048 + x0 + x] !=
                      bitmap.buffer[(inkTop + y) * bitmap.pitch + inkLeft + x];
    EXPECT_EQ(mismatches, 0) << std::hex << r.code;
  }
  size_t stray = 0;
  for (size_t i = 0; i < claimed.size(); ++i) stray += !claimed[i] && pack.coverage[i] != 0;
  EXPECT_EQ(stray, 0u);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

TEST(FontPack, ReportsWhatIsWrong) {
  // Droid Sans Fallback has the ideographs but no Latin letters: every missing one is named.
  const std::string missing = ErrorOf([] { BuildFontPack(kDroidFallback, BuildGlyphCharset({"中"})); });
  EXPECT_NE(missing.find("lacks"), std::string::npos) << missing;
  EXPECT_NE(missing.find("U+004D"), std::string::npos) << missing;
  EXPECT_NE(missing.find("U+0061"), std::string::npos) << missing;
  EXPECT_EQ(missing.find("U+4E2D"), std::string::npos) << missing;

  const std::string unreadable = ErrorOf([] { BuildFontPack(FontFiles("/nonexistent/font.ttf"), BuildGlyphCharset({})); });
  EXPECT_NE(unreadable.find("/nonexistent/font.ttf"), std::string::npos) << unreadable;
  // A fallback that cannot be read is named too; a character no font of the chain has names them all.
  const std::string fallback = ErrorOf([] { BuildFontPack(FontFiles(kMicroHei, 0, {"/nonexistent/b.ttf"}), {}); });
  EXPECT_NE(fallback.find("cannot read /nonexistent/b.ttf"), std::string::npos) << fallback;
  const std::string chain = ErrorOf([] { BuildFontPack(FontFiles(kMicroHei, 0, {test::kDejaVuSans}), BuildGlyphCharset({"ꀀ"})); });
  EXPECT_EQ(chain, "the fonts lack 1 characters: U+A000 (fonts tried: " + kMicroHei + ", " + test::kDejaVuSans + ")");

  const test::TempDir dir;
  const std::string garbage = dir.Write("garbage.ttf", "this is not a font file at all");
  const std::string notFont = ErrorOf([&] { BuildFontPack(garbage, BuildGlyphCharset({})); });
  EXPECT_NE(notFont.find("cannot read font"), std::string::npos) << notFont;

  const std::string beyond = ErrorOf([] { BuildFontPack(kMicroHei, BuildGlyphCharset({"a😀𠀀"})); });
  EXPECT_NE(beyond.find("U+1F600"), std::string::npos) << beyond;
  EXPECT_NE(beyond.find("U+20000"), std::string::npos) << beyond;

  // 96 ASCII glyphs cannot all fit 64 x 64 texels: the message says how many did.
  FontPackOptions small;
  small.atlas.width = 64;
  small.atlas.height = 64;
  const std::string tooMany = ErrorOf([&] { BuildFontPack(kMicroHei, BuildGlyphCharset({}), small); });
  EXPECT_NE(tooMany.find("do not fit the 64 x 64 atlas"), std::string::npos) << tooMany;
  EXPECT_NE(tooMany.find(" of 96 fit"), std::string::npos) << tooMany;
}

TEST(RectanglePacking, KeepsGapsAndSaysWhatDidNotFit) {
  std::vector<RectSize> sizes;
  for (int i = 0; i < 40; ++i) sizes.push_back({1 + i % 7, 1 + (i * 5) % 9});
  const std::vector<RectPlacement> placed = PackRectangles(sizes, 48, 48, 1);
  ASSERT_EQ(placed.size(), sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    ASSERT_TRUE(placed[i].placed);
    EXPECT_GE(placed[i].x, 0);
    EXPECT_LE(placed[i].x + sizes[i].width, 48);
    EXPECT_LE(placed[i].y + sizes[i].height, 48);
    for (size_t j = 0; j < i; ++j) {
      const bool apart = placed[i].x + sizes[i].width < placed[j].x || placed[j].x + sizes[j].width < placed[i].x ||
                         placed[i].y + sizes[i].height < placed[j].y || placed[j].y + sizes[j].height < placed[i].y;
      EXPECT_TRUE(apart) << i << " and " << j;
    }
  }
  // A full-size rectangle fits exactly; a second one does not.
  const std::vector<RectPlacement> full = PackRectangles({{32, 32}, {1, 1}}, 32, 32, 1);
  EXPECT_TRUE(full[0].placed);
  EXPECT_FALSE(full[1].placed);
}

}  // namespace
}  // namespace vykcn::tool
