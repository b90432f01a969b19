// The TranslationImage built from entries, and the checks that refuse a translation set.
#include <gtest/gtest.h>

#include "common/command_error.h"
#include "text_sources/translation_image_builder.h"
#include "tools/support/reference_formats.h"

namespace vykcn::test {
namespace {

using tool::TextEntry;

TextEntry Entry(std::string host, std::string translation, int line, std::string file = "t.po") {
  TextEntry e;
  e.host = std::move(host);
  e.translation = std::move(translation);
  e.file = std::move(file);
  e.line = line;
  e.usable = !e.translation.empty();
  return e;
}

std::string ErrorOf(const std::vector<TextEntry>& entries) {
  try {
    tool::BuildTranslationImage(entries);
  } catch (const tool::CommandError& e) {
    return e.what();
  }
  return "";
}

TEST(TranslationImageBuilder, RecordsInInputOrderWithDuplicatesMerged) {
  const std::vector<TextEntry> entries = {
      Entry("Hello", "\xE4\xBD\xA0\xE5\xA5\xBD", 1), Entry("", "", 2),  // untranslated: skipped
      Entry("Caf\xC3\xA9", "\xE5\x92\x96\xE5\x95\xA1", 3), Entry("Hello", "\xE4\xBD\xA0\xE5\xA5\xBD", 4, "u.po"),
      Entry("Same", "Same", 5)};
  const auto build = tool::BuildTranslationImage(entries);
  EXPECT_EQ(build.records, 3u);
  EXPECT_EQ(build.distinctHashes, 3u);
  EXPECT_EQ(build.image, ExpectedImage({{"Hello", "\xE4\xBD\xA0\xE5\xA5\xBD"},
                                        {"Caf\xC3\xA9", "\xE5\x92\x96\xE5\x95\xA1"},
                                        {"Same", "Same"}}));

  // A game's worth: each host text with another that shares its hash and its translation ("B\x9C"
  // and "A\x1F" end alike), and each given again later; one record each, in input order.
  std::vector<TextEntry> many;
  std::vector<std::pair<std::string, std::string>> records;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 10000; ++i) {
      const std::string line = "line " + std::to_string(i), translation = "\xE8\xAF\x91 " + std::to_string(i);
      many.push_back(Entry(line + "B\x9C", translation, 3 * i));
      many.push_back(Entry(line + "A\x1F", translation, 3 * i + 1));
      if (round == 0) records.emplace_back(line + "B\x9C", translation);
    }
  }
  const auto built = tool::BuildTranslationImage(many);
  EXPECT_EQ(built.records, 10000u);
  EXPECT_EQ(built.distinctHashes, 10000u);
  EXPECT_EQ(built.image, ExpectedImage(records));
}

TEST(TranslationImageBuilder, RefusesConflictsAndBadTranslations) {
  // "B\x9C" and "A\x1F" share a hash: 66 * 131 - 100 == 65 * 131 + 31.
  ASSERT_EQ(TestHash("B\x9C"), TestHash("A\x1F"));
  const std::string collision = ErrorOf({Entry("B\x9C", "one", 3, "a.csv"), Entry("A\x1F", "two", 7, "b.csv")});
  EXPECT_NE(collision.find("a.csv:3"), std::string::npos) << collision;
  EXPECT_NE(collision.find("b.csv:7"), std::string::npos) << collision;
  EXPECT_NE(collision.find("\"one\""), std::string::npos) << collision;
  EXPECT_NE(collision.find("\"two\""), std::string::npos) << collision;
  // The same colliding texts with one translation make one record that serves both.
  EXPECT_EQ(tool::BuildTranslationImage({Entry("B\x9C", "one", 3), Entry("A\x1F", "one", 7)}).records, 1u);
  // The second host text of a hash is still that host text, given again with another translation.
  const std::string second = ErrorOf({Entry("B\x9C", "one", 3), Entry("A\x1F", "one", 7), Entry("A\x1F", "two", 9)});
  EXPECT_NE(second.find("two different translations: \"one\" at t.po:7"), std::string::npos) << second;

  const std::string twice = ErrorOf({Entry("Open", "\xE6\x89\x93\xE5\xBC\x80", 10, "m.po"), Entry("Open", "\xE5\xBC\x80", 20, "m.po")});
  EXPECT_NE(twice.find("m.po:10"), std::string::npos) << twice;
  EXPECT_NE(twice.find("m.po:20"), std::string::npos) << twice;

  const std::string utf8 = ErrorOf({Entry("ok", "fine", 1), Entry("bad", "\xE4\xBD", 9)});
  EXPECT_NE(utf8.find("t.po:9"), std::string::npos) << utf8;
  EXPECT_NE(utf8.find("UTF-8"), std::string::npos) << utf8;

  const std::string nul = ErrorOf({Entry("nul", std::string("a\0b", 3), 4)});
  EXPECT_NE(nul.find("t.po:4"), std::string::npos) << nul;

  EXPECT_NE(ErrorOf({Entry("only", "", 1)}).find("empty input"), std::string::npos);
}

}  // namespace
}  // namespace vykcn::test
