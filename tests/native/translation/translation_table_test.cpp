#include "translation/translation_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translation/subtitle_hash.h"
#include "translation/translation_image.h"

namespace vykcn {
namespace {

// Builds an image from (hash, text) records; `count` overrides the stored record count.
std::vector<uint8_t> Image(const std::vector<std::pair<uint32_t, std::string>>& records,
                           int64_t count = -1) {
  std::vector<uint8_t> image(4);
  WriteU32LE(image.data(), count < 0 ? static_cast<uint32_t>(records.size()) : static_cast<uint32_t>(count));
  for (const auto& [hash, text] : records) {
    const size_t at = image.size();
    image.resize(at + 4);
    WriteU32LE(image.data() + at, hash);
    image.insert(image.end(), text.begin(), text.end());
    image.push_back(0);
  }
  return image;
}

TEST(TranslationTable, FillsOneEntryPerHashPointingIntoTheImage) {
  const auto image = Image({{SubtitleHash("Hello"), "你好"}, {7, ""}, {SubtitleHash("Bye"), "再见"}});
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
  const auto image = Image({{42, "first"}, {1, "x"}, {42, "second"}});
  TranslationTable table;
  ASSERT_EQ(table.FillFromImage(image.data(), image.size()), FillResult::kFilled);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_STREQ(table.valueOf(42), "second");
}

TEST(TranslationTable, ZeroRecordsIsValidAndFillsNothing) {
  const auto image = Image({});
  TranslationTable table;
  EXPECT_EQ(table.FillFromImage(image.data(), image.size()), FillResult::kFilled);
  EXPECT_EQ(table.size(), 0u);
}

TEST(TranslationTable, BytesAfterTheLastRecordAreIgnored) {
  auto image = Image({{1, "a"}});
  image.insert(image.end(), {'j', 'u', 'n', 'k'});  // no terminator, but not a record either
  TranslationTable table;
  EXPECT_EQ(table.FillFromImage(image.data(), image.size()), FillResult::kFilled);
  EXPECT_EQ(table.size(), 1u);
}

TEST(TranslationTable, MalformedImagesFillNothing) {
  const auto good = Image({{1, "one"}, {2, "two"}});
  std::vector<std::vector<uint8_t>> bad = {
      {},                                          // no count at all
      {1, 0, 0},                                   // shorter than the count
      Image({{1, "one"}, {2, "two"}}, 3),          // count larger than the records
      Image({{1, "one"}}, 0xFFFFFFFF),             // absurd count
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
