// The atlas sizes a module may carry, glyphs trimmed to their ink, and the rule that picks the
// glyphs' 'M' height.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/utf8.h"
#include "common/command_error.h"
#include "font_building/atlas_file.h"
#include "font_building/font_pack.h"
#include "font_building/font_rasterizer.h"
#include "font_building/glyph_charset.h"
#include "tools/support/reference_formats.h"
#include "tools/support/test_fonts.h"

namespace vykcn::tool {
namespace {

TEST(AtlasFile, EachAtlasSizeHasItsOwnHeaderAndLengthAndNoOtherSizeIsAccepted) {
  struct Case {
    AtlasSize size;
    size_t fileBytes;
  };
  const Case cases[] = {{{2048, 1024}, 2097280}, {{4096, 2048}, 8388736}, {{4096, 4096}, 16777344}};
  for (const Case& c : cases) {
    SCOPED_TRACE(DescribeAtlasSize(c.size));
    const std::vector<uint8_t> file = BuildAtlasFile(std::vector<uint8_t>(c.fileBytes - 128, 0), c.size);
    ASSERT_EQ(file.size(), c.fileBytes);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 128),
              test::ExpectedAtlasPrefix(uint32_t(c.size.width), uint32_t(c.size.height)));
    AtlasSize read{1, 1};
    EXPECT_EQ(AtlasFileProblem(file, &read), "");
    EXPECT_EQ(read.width, c.size.width);
    EXPECT_EQ(read.height, c.size.height);
    EXPECT_EQ(DecodeAtlasFile(file, "atlas").rgba.size(), size_t(c.size.width) * c.size.height * 4);
    // A file cut short, or one block too long, is no atlas of any size.
    EXPECT_NE(AtlasFileProblem(std::vector<uint8_t>(file.begin(), file.end() - 16)), "");
    std::vector<uint8_t> longer = file;
    longer.resize(file.size() + 16);
    EXPECT_NE(AtlasFileProblem(longer), "");
  }
  // Headers of other sizes, even whole and consistent ones, are refused.
  for (const auto& [width, height] : {std::pair{1024u, 1024u}, {2048u, 2048u}, {1024u, 2048u}, {8192u, 4096u}}) {
    std::vector<uint8_t> file = test::ExpectedAtlasPrefix(width, height);
    file.resize(128 + size_t(width) * height);
    EXPECT_NE(AtlasFileProblem(file), "") << width << " x " << height;
  }
  EXPECT_THROW(BuildAtlasFile(std::vector<uint8_t>(1024 * 1024), AtlasSize{1024, 1024}), CommandError);
}

TEST(AtlasFile, ParsesOnlyTheKnownSizes) {
  const std::pair<const char*, int> cases[] = {
      {"2048x1024", 2048}, {"4096x2048", 4096}, {"4096X4096", 4096}, {"4096 x 2048", 4096},
      {"1024x2048", 0},    {"4096x1024", 0},    {"8192x4096", 0},    {"4096", 0},
      {"x2048", 0},        {"4096x2048x1", 0},  {"-4096x2048", 0},   {"", 0},
  };
  for (const auto& [text, width] : cases) {
    AtlasSize size{7, 7};
    EXPECT_EQ(ParseAtlasSize(text, &size), width != 0) << text;
    EXPECT_EQ(size.width, width != 0 ? width : 7) << text;
  }
}

TEST(TrimToInk, DropsBlankRowsAndColumnsAndKeepsTheGlyphInPlace) {
  struct Case {
    const char* name;
    int width, height;
    std::vector<uint8_t> coverage;
    int left, top;  // before
    int wantWidth, wantHeight, wantLeft, wantTop;
    std::vector<uint8_t> wantCoverage;
  };
  const Case cases[] = {
      {"blank border all round", 4, 3, {0, 0, 0, 0, 0, 9, 8, 0, 0, 0, 0, 0}, 2, 20, 2, 1, 3, 19, {9, 8}},
      {"blank left column and bottom row", 3, 3, {0, 1, 2, 0, 3, 4, 0, 0, 0}, -1, 5, 2, 2, 0, 5, {1, 2, 3, 4}},
      {"ink in the corners only", 3, 2, {5, 0, 0, 0, 0, 6}, 0, 0, 3, 2, 0, 0, {5, 0, 0, 0, 0, 6}},
      {"no ink at all", 2, 2, {0, 0, 0, 0}, 4, 4, 0, 0, 4, 4, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RasterGlyph glyph;
    glyph.width = c.width;
    glyph.height = c.height;
    glyph.coverage = c.coverage;
    glyph.left = c.left;
    glyph.top = c.top;
    glyph.advance = 11;
    TrimToInk(&glyph);
    EXPECT_EQ(glyph.width, c.wantWidth);
    EXPECT_EQ(glyph.height, c.wantHeight);
    EXPECT_EQ(glyph.coverage, c.wantCoverage);
    if (c.wantWidth > 0) {
      EXPECT_EQ(glyph.left, c.wantLeft);
      EXPECT_EQ(glyph.top, c.wantTop);
    }
    EXPECT_EQ(glyph.advance, 11);
  }
}

// ASCII, the first `count` ideographs of U+4E00 onwards, and the characters of `more`.
GlyphCharset Ideographs(size_t count, const std::string& more = "") {
  std::string text = more;
  for (uint32_t c = 0x4E00; count > 0; ++c, --count) {
    text += char(0xE0 | (c >> 12));
    text += char(0x80 | ((c >> 6) & 0x3F));
    text += char(0x80 | (c & 0x3F));
  }
  return BuildGlyphCharset({text});
}

bool FitsAt(const FontFiles& fonts, const GlyphCharset& charset, AtlasSize atlas, int height) {
  FontPackOptions options;
  options.atlas = atlas;
  options.glyphHeight = height;
  try {
    const FontPack pack = BuildFontPack(fonts, charset, options);
    EXPECT_EQ(pack.glyphHeight, height);
    return true;
  } catch (const CommandError& e) {
    return false;  // does not fit, or no size of the font gives 'M' that height
  }
}

// The chosen height is the largest from 25 down to 12 at which everything fits; none when even 12
// does not; and pack-font's automatic choice is the same. With fallback fonts, each character comes
// from the first font that has it, sized by that font's own 'M'.
TEST(ChooseGlyphHeight, IsTheLargestHeightThatFitsDownTo12) {
  struct Case {
    size_t ideographs;
    AtlasSize atlas;
    int expected;  // 0: none
    FontFiles fonts = FontFiles(test::kMicroHei);
    std::string more = "";  // characters taken from the first fallback
  };
  const FontFiles withDejaVu(test::kMicroHei, 0, {test::kDejaVuSans});
  const Case cases[] = {
      {0, {2048, 1024}, 25},   // room to spare
      {40, {256, 256}, 21},    // at 25 px they need more than the bin
      {40, {256, 128}, 14},    // 15 px is one of the heights hinting skips
      {120, {256, 128}, 0},    // not even at 12 px
      {0, {64, 64}, 0},
      {0, {2048, 1024}, 25, withDejaVu, "\xC6\x8E\xCA\xBB"},  // Ǝ and ʻ, which only the fallback has
      {40, {256, 256}, 21, withDejaVu, "\xC6\x8E\xCA\xBB"},
      {40, {256, 128}, 14, withDejaVu, "\xC6\x8E"},
      // Latin from the fallback alone: its 'M' sets the size, the ideographs' font takes its em.
      {40, {256, 256}, 21, FontFiles(test::kDroidFallback, 0, {test::kDejaVuSans}), "M"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ideographs << " ideographs in " << DescribeAtlasSize(c.atlas) << " from "
                                    << c.fonts.Tried());
    const GlyphCharset charset = Ideographs(c.ideographs, c.more);
    const std::optional<int> chosen = ChooseGlyphHeight(c.fonts, charset, c.atlas);
    EXPECT_EQ(chosen.value_or(0), c.expected);
    // The rule itself, whatever the figures: it fits there, and at no larger height up to 25.
    FontPackOptions automatic;
    automatic.atlas = c.atlas;
    if (chosen) {
      EXPECT_TRUE(FitsAt(c.fonts, charset, c.atlas, *chosen));
      for (int larger = *chosen + 1; larger <= 25; ++larger) {
        EXPECT_FALSE(FitsAt(c.fonts, charset, c.atlas, larger)) << larger;
      }
      const FontPack pack = BuildFontPack(c.fonts, charset, automatic);
      EXPECT_EQ(pack.glyphHeight, *chosen);
      if (c.more.empty()) continue;
      // A fallback's glyphs are those it draws as a main font at that 'M' height: its own 'M' matches.
      FontPackOptions alone;
      alone.glyphHeight = *chosen;
      const FontPack fallback = BuildFontPack(c.fonts.fallbacks[0], BuildGlyphCharset({c.more}), alone);
      std::vector<uint32_t> fromFallback;
      ASSERT_TRUE(DecodeUtf8(c.more, &fromFallback));
      for (uint32_t code : fromFallback) {
        const auto in = [code](const FontPack& p) {
          return *std::find_if(p.records.begin(), p.records.end(), [&](const GlyphRecord& r) { return r.code == code; });
        };
        const GlyphRecord a = in(pack), b = in(fallback);
        EXPECT_EQ(std::vector<int>({a.offsetX, a.offsetY, a.advance, a.width, a.height}),
                  std::vector<int>({b.offsetX, b.offsetY, b.advance, b.width, b.height})) << std::hex << code;
      }
      EXPECT_EQ(pack.fromFallbacks[0], c.fonts.main == test::kMicroHei ? fromFallback.size() : 94u);
    } else {
      EXPECT_FALSE(FitsAt(c.fonts, charset, c.atlas, 12));
      EXPECT_THROW(BuildFontPack(c.fonts, charset, automatic), CommandError);
    }
  }
  // Characters the font lacks are an error, not "does not fit".
  EXPECT_THROW(ChooseGlyphHeight(test::kDroidFallback, Ideographs(1), AtlasSize()), CommandError);
}

}  // namespace
}  // namespace vykcn::tool
