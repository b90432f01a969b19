// Line widths in the game's pixels: lines just under and just over a limit, at two host heights,
// flagged exactly when over; the widths are the advances of the records that the module's own
// glyph substitution hands the host, summed; and the Chinese punctuation rules, as a table.
#include <gtest/gtest.h>

#include <cstring>

#include "base/utf8.h"
#include "checks/punctuation_checks.h"
#include "checks/translation_checks.h"
#include "font/glyph_substitution.h"
#include "formats/resource_ids.h"
#include "glyph_records.h"
#include "tools/support/test_files.h"

namespace vykcn::test {
namespace {

// Ideographs 32 px, Latin 16, space 8, 'M' 25 px high (the documented table's size).
std::vector<GlyphRecord> Table() {
  std::vector<GlyphRecord> table;
  for (uint32_t c = 0x20; c < 0x7F; ++c) {
    table.push_back(MakeGlyphRecord(static_cast<uint16_t>(c), 0, -25, c == ' ' ? 8 : 16, 1, c == 'M' ? 25 : 1, 0, 0,
                                    1 / 2048.0f, 1 / 1024.0f));
  }
  for (uint16_t c : {0x4E00, 0x4E8C, 0x4E09, 0x56DB}) {  // 一二三四
    table.push_back(MakeGlyphRecord(c, 0, -25, 32, 1, 1, 0, 0, 1 / 2048.0f, 1 / 1024.0f));
  }
  return table;
}

class TableResource : public OwnResources {
 public:
  explicit TableResource(const std::vector<GlyphRecord>& table) : bytes_(SerializeGlyphTable(table)) {}
  bool LoadData(uint32_t id, ResourceBytes* out) override {
    if (id != kGlyphTableResourceId) return false;
    *out = {bytes_.data(), static_cast<uint32_t>(bytes_.size())};
    return true;
  }

 private:
  std::vector<uint8_t> bytes_;
};

// What the module hands a host whose 'M' is `hostHeight` px: its advances, summed over the text.
int64_t ModuleWidth(const std::vector<GlyphRecord>& table, int hostHeight, const std::string& text) {
  TableResource resource(table);
  GlyphSubstitution substitution(resource);
  GlyphRecord hostM{};
  hostM.code = 'M';
  hostM.height = static_cast<uint8_t>(hostHeight);
  GlyphRecord* array = &hostM;
  uint32_t count = 1;
  substitution.ReplaceGlyphTable(&array, &count);
  std::vector<uint32_t> codes;
  DecodeUtf8(text, &codes);
  int64_t width = 0;
  for (uint32_t c : codes) {
    for (uint32_t i = 0; i < count; ++i) {
      if (array[i].code == c) {
        width += array[i].advance;
        break;
      }
    }
  }
  substitution.ReleaseGlyphTables();
  return width;
}

TEST(LayoutChecks, LinesOverTheLimitAtTwoHostHeightsAndTheirWidths) {
  TempDir dir;
  // At 'M' 25: 一二三 is 96 px, 一二三 + "a" 112, 一二三四 128. At 'M' 20 the module scales by 0.8:
  // ideographs 25 px (32 * 0.8 truncated), letters 12.
  const std::string csv = dir.Write("w.csv",
                                    "source,translation\n"
                                    "One,\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\n"
                                    "Two,\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89" "a\n"
                                    "Three,\"\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B\n\xE4\xB8\x80\"\n");
  const struct {
    int hostHeight, maxWidth;
    std::vector<std::string> flagged;  // "LINE: message"
  } cases[] = {
      {25, 112, {"4: line 1 is 128 px wide at 'M' 25 px, over the limit of 112 px"}},
      {25, 111, {"3: the line is 112 px wide at 'M' 25 px, over the limit of 111 px",
                 "4: line 1 is 128 px wide at 'M' 25 px, over the limit of 111 px"}},
      {20, 87, {"4: line 1 is 100 px wide at 'M' 20 px, over the limit of 87 px"}},
      {20, 86, {"3: the line is 87 px wide at 'M' 20 px, over the limit of 86 px",
                "4: line 1 is 100 px wide at 'M' 20 px, over the limit of 86 px"}},
  };
  for (const auto& c : cases) {
    tool::CheckOptions options;
    options.layout.table = Table();
    options.layout.hostHeight = c.hostHeight;
    options.layout.maxWidth = c.maxWidth;
    options.layout.maxLines = 1;
    const tool::CheckedTranslations checked = tool::CheckTranslations({csv}, options);
    std::vector<std::string> flagged;
    for (const tool::Problem& f : checked.findings) {
      if (f.category == tool::warning_class::kWidth) flagged.push_back(std::to_string(f.line) + ": " + f.message);
    }
    std::vector<std::string> expected = c.flagged;
    expected.push_back("4: 2 lines, over the limit of 1");
    EXPECT_EQ(flagged, expected) << c.hostHeight << " " << c.maxWidth;
    ASSERT_FALSE(checked.widest.empty());
    for (const tool::MeasuredLine& line : checked.widest) {
      EXPECT_EQ(line.width, ModuleWidth(Table(), c.hostHeight, line.text)) << line.text;
    }
  }

  // Wrapping rewrites the set's own copies of the translations before its image is written: what
  // the game shows is the wrapped text, and a cached file stays as read for the next set.
  tool::FileCheckCache cache;
  tool::CheckOptions wrap;
  wrap.layout.table = Table();
  wrap.layout.wrapWidth = 100;
  const tool::CheckedTranslations wrapped = tool::CheckTranslations({csv}, wrap, &cache);
  const tool::CheckedTranslations asWritten = tool::CheckTranslations({csv}, {}, &cache);
  EXPECT_EQ(wrapped.errors(), 0u);
  std::vector<std::string> texts;
  for (const tool::CheckedTranslations* checked : {&wrapped, &asWritten}) {
    for (const tool::SetEntry& kept : checked->set.kept) texts.push_back(kept.entry->translation);
  }
  const std::string one23 = "\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89", four = "\xE5\x9B\x9B", one = "\xE4\xB8\x80";
  EXPECT_EQ(texts, (std::vector<std::string>{one23, one23 + "\na", one23 + "\n" + four + "\n" + one,  // wrapped at 100 px
                                             one23, one23 + "a", one23 + four + "\n" + one}));
}

TEST(PunctuationChecks, ChineseRulesAsWarnings) {
  const struct {
    const char* host;
    const char* translation;
    std::vector<std::string> expected;  // "class: message"
  } cases[] = {
      {"Yes, go.", "是的，走。", {}},
      {"Yes, go.", "是的,走。", {"half-width: half-width , between Chinese characters: write ，"}},
      {"Why? Go!", "为什么? 走!", {"half-width: half-width ? between Chinese characters: write ？",
                                   "sentence-end: the host text ends a sentence; the translation should end with ！"}},
      {"End.", "结束", {"sentence-end: the host text ends a sentence; the translation should end with 。"}},
      {"End", "结束。", {"sentence-end: the translation ends a sentence with 。, the host text does not"}},
      {"Wait...", "等等……", {}},
      {"Wait...", "等等…", {"sentence-end: the host text ends a sentence; the translation should end with ……"}},
      {"\"Go!\"", "“走！”", {}},
      {"Run OK.", "运行 OK.", {}},  // a half-width stop after Latin text ends the sentence
      {"Go on", "，继续", {"line-start: the translation starts with ，, which no line may start with"}},
      {"a\nb", "甲\n。乙", {"line-start: line 2 starts with 。, which no line may start with"}},
      {"%s left", "%s 剩余", {}},
      {"Really?", "真的？？", {"doubled: doubled ？？ (the host text has none)"}},
      {"Really??", "真的？？", {}},
      {"Save", "Save", {}},  // no Chinese: not checked
      // Each rule compares with what the host text has at the same place: none of these is a warning.
      {"...fine. I guess.", "……很好。我觉得很好。", {}},
      {"From the journal:\n\n... blast it!", "摘自日记：\n\n……该死！", {}},
      {"Aban,Abbas,Abdul-Aziz", "阿班,阿巴斯,阿卜杜勒-阿齐兹", {}},  // a list the game reads
      {"Loading 1,000 files, wait", "加载1,000个文件,请稍候", {"half-width: half-width , between Chinese characters: "
                                                                   "write ，"}},  // "1,000" is no list
      {"(expected , or =)", "（预期字符为,或=）", {}},
      {"Prince Konrad! For <big>WESNOTH!</big>", "科纳德王子！为了<big>韦诺！</big>", {}},
      {"Example: :unit advances=2", "例如：:unit advances=2", {}},
      {"and Kalenz... and..", "还有卡雷兹……还有……", {}},
      // Doubled marks named as written.
      {"Alice,Bob,Carol", "爱丽丝,,鲍勃,卡罗尔", {"doubled: doubled ,, (the host text has none)"}},
      {"Note: see", "注意：:参见", {"doubled: doubled ：: (the host text has none)"}},
      {"Alice, Bob", "爱丽丝，鲍勃,卡罗尔", {"half-width: half-width , between Chinese characters: write ，"}},
  };
  for (const auto& c : cases) {
    tool::TextEntry entry;
    entry.host = c.host;
    entry.translation = c.translation;
    std::vector<tool::Problem> findings;
    tool::CheckChinesePunctuation(entry, 0, &findings);
    std::vector<std::string> found;
    for (const tool::Problem& f : findings) found.push_back(f.category + ": " + f.message);
    EXPECT_EQ(found, c.expected) << c.translation;
  }
}

}  // namespace
}  // namespace vykcn::test
