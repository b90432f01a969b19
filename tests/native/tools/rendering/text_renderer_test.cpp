// Drawing text as the host does: quad placement and scaling with a hand-made font, and the whole
// pipeline (pack, BC3, decode, draw) against FreeType drawing the same text directly.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <set>

#include "base/utf8.h"
#include "common/command_error.h"
#include "font_building/atlas_file.h"
#include "font_building/bc3_encoder.h"
#include "font_building/font_pack.h"
#include "font_building/glyph_charset.h"
#include "glyph_records.h"
#include "rendering/text_renderer.h"
#include "tools/support/test_fonts.h"

namespace vykcn::tool {
namespace {

// A record for a solid rectangle at atlas texel (x, y).
GlyphRecord Solid(uint16_t code, int8_t offsetX, int8_t offsetY, int8_t advance, uint8_t w, uint8_t h, int x, int y) {
  return test::MakeGlyphRecord(code, offsetX, offsetY, advance, w, h, x / 2048.0f, y / 1024.0f, (x + w) / 2048.0f,
                               (y + h) / 1024.0f);
}

struct HandFont {
  std::vector<GlyphRecord> records;
  AtlasImage atlas{AtlasSize(), std::vector<uint8_t>(size_t(2048) * 1024 * 4, 0)};  // transparent white
  HandFont() {
    std::vector<uint8_t>& texels = atlas.rgba;
    for (size_t i = 0; i < texels.size(); i += 4) texels[i] = texels[i + 1] = texels[i + 2] = 255;
    records = {Solid(' ', 0, 0, 9, 1, 1, 300, 0), Solid('A', 1, -10, 12, 10, 10, 100, 0),
               Solid('M', 3, -25, 31, 25, 25, 0, 0)};
    for (const GlyphRecord& r : records) {
      if (r.code == ' ') continue;
      const int x0 = int(r.uLeft * 2048), y0 = int(r.vTop * 1024);
      for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) texels[((size_t(y0) + y) * 2048 + x0 + x) * 4 + 3] = 255;
    }
  }
};

struct Rect {
  int x, y, w, h;
};

// The pixels that differ from the background must be exactly the union of `rects`, all full white.
void ExpectInkExactly(const TextImage& image, const std::vector<Rect>& rects) {
  int wrong = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      bool inside = false;
      for (const Rect& r : rects) inside |= x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
      const uint8_t value = image.rgb[(size_t(y) * image.width + x) * 3];
      wrong += inside ? value != 255 : value != 24;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(TextRenderer, PlacesQuadsFromPenBaselineAndOffsets) {
  const HandFont font;
  TextStyle style;
  const TextImage image = RenderText(font.records, font.atlas, "MA\nA", style);
  const int x = image.originX, base = image.firstBaseline, next = base + image.lineAdvance;
  EXPECT_EQ(image.lineAdvance, 26);  // tallest ascent 25 ('M') plus deepest descent 1 (the space's box)
  ExpectInkExactly(image, {{x + 3, base - 25, 25, 25}, {x + 31 + 1, base - 10, 10, 10}, {x + 1, next - 10, 10, 10}});
  EXPECT_TRUE(image.missing.empty());
}

TEST(TextRenderer, ScalesRecordsToTheHostsReferenceHeight) {
  // Host 'M' of 20 px: scale 0.8, truncated toward zero. 'M' (3,-25,31,25,25) -> (2,-20,24,20,20),
  // 'A' (1,-10,12,10,10) -> (0,-8,9,8,8); the space's advance 9 -> 7.
  const HandFont font;
  TextStyle style;
  style.hostReferenceHeight = 20;
  const TextImage image = RenderText(font.records, font.atlas, "MA A", style);
  const int x = image.originX, base = image.firstBaseline;
  ExpectInkExactly(image, {{x + 2, base - 20, 20, 20}, {x + 24, base - 8, 8, 8}, {x + 24 + 9 + 7, base - 8, 8, 8}});
}

TEST(TextRenderer, ReportsCharactersWithoutAGlyphAndLeavesASpace) {
  const HandFont font;
  const TextImage image = RenderText(font.records, font.atlas, "A中A😀中", TextStyle());
  EXPECT_EQ(image.missing, (std::vector<uint32_t>{0x4E2D, 0x1F600}));
  const int x = image.originX, base = image.firstBaseline;
  ExpectInkExactly(image, {{x + 1, base - 10, 10, 10}, {x + 12 + 9 + 1, base - 10, 10, 10}});
  EXPECT_THROW(RenderText(font.records, font.atlas, "\xFF", TextStyle()), CommandError);
}

TEST(TextRenderer, DamagedCoordinatesDrawNothing) {
  HandFont font;
  font.records[1].uLeft = std::nanf("");  // 'A': no texel at all
  font.records[2].vTop = 1e30f;           // 'M': far below the atlas, where it is transparent
  const TextImage image = RenderText(font.records, font.atlas, "AM", TextStyle());
  ExpectInkExactly(image, {});
}

// FreeType draws `text` at the pack's size straight onto a canvas like the preview's, blending
// white with the coverage over the same background.
std::vector<uint8_t> DrawWithFreeType(const std::string& font, double pixelSize, const std::string& text,
                                      const TextImage& layout) {
  FT_Library library;
  FT_Face face;
  EXPECT_EQ(FT_Init_FreeType(&library), 0);
  EXPECT_EQ(FT_New_Face(library, font.c_str(), 0, &face), 0);
  FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pixelSize * 64)), 72, 72);
  std::vector<uint8_t> rgb(size_t(layout.width) * layout.height * 3, 24);
  std::vector<uint32_t> codePoints;
  DecodeUtf8(text, &codePoints);
  int pen = layout.originX, baseline = layout.firstBaseline;
  for (uint32_t c : codePoints) {
    if (c == '\n') {
      pen = layout.originX;
      baseline += layout.lineAdvance;
      continue;
    }
    FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP);
    const FT_Bitmap& b = face->glyph->bitmap;
    for (unsigned y = 0; y < b.rows; ++y) {
      for (unsigned x = 0; x < b.width; ++x) {
        const int px = pen + face->glyph->bitmap_left + int(x), py = baseline - face->glyph->bitmap_top + int(y);
        const double a = b.buffer[y * b.pitch + x] / 255.0;
        for (int k = 0; k < 3; ++k) {
          uint8_t& v = rgb[(size_t(py) * layout.width + px) * 3 + k];
          v = uint8_t(std::lround(v * (1 - a) + 255 * a));
        }
      }
    }
    pen += int((face->glyph->advance.x + 32) >> 6);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return rgb;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double squared = 0;
  for (size_t i = 0; i < a.size(); ++i) squared += (a[i] - b[i]) * (a[i] - b[i]);
  return squared == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * a.size() / squared);
}

TEST(TextRenderer, MatchesFreeTypeDrawingTheSameTextThroughTheWholePipeline) {
  const std::string text = "你好，世界！\n“中文字幕”测试 Mg";
  const FontPack pack = BuildFontPack(test::kMicroHei, BuildGlyphCharset({text}));
  const std::vector<uint8_t> file = BuildAtlasFile(EncodeWhiteBc3(pack.coverage.data(), 2048, 1024));
  const TextImage image = RenderText(pack.records, DecodeAtlasFile(file, "atlas"), text, TextStyle());
  ASSERT_TRUE(image.missing.empty());
  const std::vector<uint8_t> expected = DrawWithFreeType(test::kMicroHei, pack.pixelSize, text, image);
  EXPECT_GT(Psnr(image.rgb, expected), 38.0);

  // The comparison does notice a layout that is one pixel off.
  TextImage shifted = image;
  shifted.originX += 1;
  EXPECT_LT(Psnr(image.rgb, DrawWithFreeType(test::kMicroHei, pack.pixelSize, text, shifted)), 25.0);
}

}  // namespace
}  // namespace vykcn::tool
