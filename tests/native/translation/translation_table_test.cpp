#include "translation/translation_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translation/subtitle_hash.h"
#include "formats/translation_image.h"
#include "translation/image_builder.h"  // test helper

namespace vykcn {
namespace {

using test::BuildImage;

TEST(TranslationTable, FillsOneEntryPerHashPointingIntoTheImage) {
  const auto image = BuildImage({{SubtitleHash("Hello"), "你好"}, {7, ""}, {SubtitleHash("Bye"), "再见"}});
  TranslationTable table;
  ASSERT_EQ(table.FillFromImage(image.data(), image.size()), FillResult::kFilled);
  EXPECT_EQ(table.size(), 3u);
  ASSERT_TRUE(table.contains(SubtitleHash("Hello")));
  const char* value = table.valueOf(SubtitleHash("Hello"));
  EXPECT_STREQ(value, "你好");
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(value), image.data() + 8);  // not a copy
  EXPECT_STREQ(table.valueOf(7), "");  // an empty text is a valid entry
  EXPECT_FALSE(table.contains(SubtitleHash("Nope")));
}

TEST(TranslationTable, LastRecordOfADuplicateHashWins) {
  const auto image = BuildImage({{42, "first"}, {1, "x"}, {42, "second"}});
  TranslationTable table;
  ASSERT_EQ(table.FillFromImage(image.data(), image.size()), FillResult::kFilled);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_STREQ(table.valueOf(42), "second");
}

TEST(TranslationTable, ZeroRecordsIsValidAndFillsNothing) {
  const auto image = BuildImage({});
  TranslationTable table;
  EXPECT_EQ(table.FillFromImage(image.data(), image.size()), FillResult::kFilled);
  EXPECT_EQ(table.size(), 0u);
}

TEST(TranslationTable, BytesAfterTheLastRecordAreIgnored) {
  auto image = BuildImage({{1, "a"}});
  image.insert(image.end(), {'j', 'u', 'n', 'k'});  // no terminator, but not a record either
  TranslationTable table;
  EXPECT_EQ(table.FillFromImage(image.data(), image.size()), FillResult::kFilled);
  EXPECT_EQ(table.size(), 1u);
}

TEST(TranslationTable, MalformedImagesFillNothing) {
  const auto good = BuildImage({{1, "one"}, {2, "two"}});
  std::vector<std::vector<uint8_t>> bad = {
      {},                                          // no count at all
      {1, 0, 0},                                   // shorter than the count
      BuildImage({{1, "one"}, {2, "two"}}, 3),          // count larger than the records
      BuildImage({{1, "one"}}, 0xFFFFFFFF),             // absurd count
      std::vector<uint8_t>(good.begin(), good.end() - 1),  // last text has no terminator
      std::vector<uint8_t>(good.begin(), good.begin() + 14),  // second record's hash cut short
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    TranslationTable table;
    EXPECT_EQ(table.FillFromImage(bad[i].data(), bad[i].size()), FillResult::kMalformed) << i;
    EXPECT_EQ(table.size(), 0u) << i;
    EXPECT_FALSE(IsWellFormedImage(bad[i].data(), bad[i].size())) << i;
  }
  EXPECT_EQ(TranslationTable().FillFromImage(nullptr, 10), FillResult::kMalformed);
}

}  // namespace
}  // namespace vykcn
