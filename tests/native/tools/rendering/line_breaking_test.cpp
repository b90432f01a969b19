// Breaking translations into lines by the Chinese rules, measured with the host's glyphs: a table
// of texts and their breaks with a hand-made font, then every translation of the machine's zh_CN
// catalogues wrapped with the real font.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "base/utf8.h"
#include "font_building/font_pack.h"
#include "font_building/glyph_charset.h"
#include "glyph_records.h"
#include "rendering/host_glyphs.h"
#include "rendering/line_breaking.h"
#include "font_building/font_rasterizer.h"
#include "text_sources/po_reader.h"
#include "text_syntax/placeholder_syntax.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"

namespace vykcn::tool {
namespace {

// Ideographs and full-width marks 20 px, Latin letters and digits 10, spaces and half-width marks 5,
// at 'M' 20 px: the host's 'M' 20 px draws them as they are.
std::vector<GlyphRecord> HandTable() {
  std::set<uint32_t> codes;
  for (uint32_t c = 0x20; c < 0x7F; ++c) codes.insert(c);
  std::vector<uint32_t> wide;
  DecodeUtf8("一二三四五六七八九十，。（）“”…—", &wide);
  codes.insert(wide.begin(), wide.end());
  std::vector<GlyphRecord> table;
  for (uint32_t c : codes) {
    const bool letter = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const int8_t advance = c > 0x7F ? 20 : letter ? 10 : 5;
    table.push_back(test::MakeGlyphRecord(static_cast<uint16_t>(c), 0, -20, advance, 1, c == 'M' ? 20 : 1, 0, 0,
                                          1 / 2048.0f, 1 / 1024.0f));
  }
  return table;
}

TEST(LineBreaking, ChineseRulesWithinTheWidth) {
  const HostGlyphs glyphs(HandTable(), 20);
  EXPECT_EQ(glyphs.LineWidth("一 a,"), 20 + 5 + 10 + 5);
  const struct {
    const char* text;
    int width;
    const char* wrapped;
  } cases[] = {
      {"一二三四五六", 60, "一二三\n四五六"},
      {"一二三，四五", 60, "一二\n三，四\n五"},         // no line starts with a comma: 三 goes with it
      {"一二（三）", 60, "一二\n（三）"},               // no line ends with an opening bracket
      {"一二三……", 80, "一二\n三……"},                  // the ellipsis stays whole, and with 三
      {"一二——三", 60, "一二\n——三"},
      {"一二3.14五", 60, "一二\n3.14五"},               // a number stays whole
      {"Hello world again", 60, "Hello\nworld\nagain"},  // a line feed takes the space's place
      {"一Supercalifragilistic一", 60, "一\nSupercalifragilistic\n一"},  // too wide alone: a line of its own
      {"一二{name}三", 60, "一二\n{name}\n三"},         // a placeholder stays whole
      {"一二三\n四五六七", 60, "一二三\n四五六\n七"},   // line feeds stay
      {"一二三四", 80, "一二三四"},                      // exactly the width
      {"don't stop", 50, "don't\nstop"},
      // Placeholders, tags with their attributes, and runs of ASCII that is not a space stay whole.
      {"一二$name三", 60, "一二\n$name\n三"},
      {"一%count%二", 70, "一\n%count%\n二"},                  // a placeholder may start a line, a lone % not
      {"一alt+s二", 60, "一\nalt+s\n二"},
      {"一二<ref>dst='a b' text='c d'</ref>", 100, "一二\n<ref>dst='a b' text='c d'</ref>"},  // too wide alone
      {"一二<b>三四</b>", 60, "一二\n<b>三\n四</b>"},               // a tag goes with its text
      {"一http://a.b/c二", 40, "一\nhttp://a.b/c\n二"},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapText(c.text, glyphs, c.width), c.wrapped) << c.text;
}

// Every translation of the zh_CN catalogues on this machine, wrapped at 600 px for a host 'M' of
// 25 px: every line made by the wrap fits, unless it is one word that cannot break, and none
// starts with a mark no line may start with (but a placeholder's: "%d").
TEST(LineBreaking, EveryCatalogueTranslationFitsWrapped) {
  const std::filesystem::path catalogues = "/usr/share/locale/zh_CN/LC_MESSAGES";
  if (!std::filesystem::exists(catalogues)) GTEST_SKIP() << "no zh_CN catalogues on this machine";
  test::TempDir dir;
  std::vector<std::string> texts;
  for (const auto& mo : std::filesystem::directory_iterator(catalogues)) {
    const std::string po = dir.Path(mo.path().stem().string() + ".po");
    if (std::system(("msgunfmt -o '" + po + "' '" + mo.path().string() + "' 2>/dev/null").c_str()) != 0) continue;
    for (const TextEntry& entry : ReadPoFile(po).entries) {
      if (entry.usable && IsValidUtf8(entry.translation)) texts.push_back(entry.translation);
    }
  }
  ASSERT_GT(texts.size(), 1000u);
  GlyphCharset drawable;
  {
    const GlyphCharset all = BuildGlyphCharset({});
    std::set<uint16_t> codes(all.codes.begin(), all.codes.end());
    std::vector<uint32_t> decoded;
    for (const std::string& text : texts) {
      DecodeUtf8(text, &decoded);
      for (uint32_t c : decoded) {
        if (c >= 0x20 && c <= 0xFFFF) codes.insert(static_cast<uint16_t>(c));
      }
    }
    FontRasterizer font(test::kMicroHei);
    for (uint16_t c : codes) {
      if (c == 0x7F || font.HasGlyph(c)) drawable.codes.push_back(c);
    }
  }
  const HostGlyphs glyphs(BuildFontPack(test::kMicroHei, drawable).records, 25);
  size_t made = 0, overlong = 0;
  for (const std::string& text : texts) {
    // Line by line of the text as written: every line after the first of a wrapped one is the wrap's.
    for (size_t start = 0; start <= text.size();) {
      const size_t end = std::min(text.find('\n', start), text.size());
      const std::string wrapped = WrapText(text.substr(start, end - start), glyphs, 600);
      for (size_t at = 0, number = 0; at <= wrapped.size(); ++number) {
        const size_t lineEnd = std::min(wrapped.find('\n', at), wrapped.size());
        const std::string line = wrapped.substr(at, lineEnd - at);
        uint32_t first = 0;
        size_t next = 0;
        if (number > 0 && DecodeUtf8Char(line, &next, &first)) {
          ++made;
          const std::vector<Placeholder> placeholders = FindPlaceholders(line);  // "%d" may start one
          EXPECT_FALSE(MayNotStartLine(first) && (placeholders.empty() || placeholders[0].begin > 0)) << line;
        }
        // Too wide only where no break is allowed at all (a word, a name, a link): even a width
        // of one pixel leaves such a line whole.
        if (glyphs.LineWidth(line) > 600) {
          ++overlong;
          EXPECT_EQ(WrapText(line, glyphs, 1), line);
        }
        at = lineEnd + 1;
      }
      start = end + 1;
    }
  }
  EXPECT_GT(made, 1000u);
  EXPECT_LT(overlong, 50u);
}

}  // namespace
}  // namespace vykcn::tool
