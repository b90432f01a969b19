#include "translation/translation_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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
  ASSERT_EQ(table.FillFromImage(image.data(), image.size()), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), 3u);
  ASSERT_NE(table.lookup(SubtitleHash("Hello")), nullptr);
  const char* value = table.lookup(SubtitleHash("Hello"));
  EXPECT_STREQ(value, "你好");
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(value), image.data() + 8);  // not a copy
  EXPECT_STREQ(table.lookup(7), "");  // an empty text is a valid entry
  EXPECT_EQ(table.lookup(SubtitleHash("Nope")), nullptr);
}

TEST(TranslationTable, LastRecordOfADuplicateHashWins) {
  const auto image = BuildImage({{42, "first"}, {1, "x"}, {42, "second"}});
  TranslationTable table;
  ASSERT_EQ(table.FillFromImage(image.data(), image.size()), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_STREQ(table.lookup(42), "second");
}

TEST(TranslationTable, ZeroRecordsIsValidAndFillsNothing) {
  const auto image = BuildImage({});
  TranslationTable table;
  EXPECT_EQ(table.FillFromImage(image.data(), image.size()), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), 0u);
}

TEST(TranslationTable, BytesAfterTheLastRecordAreIgnored) {
  auto image = BuildImage({{1, "a"}});
  image.insert(image.end(), {'j', 'u', 'n', 'k'});  // no terminator, but not a record either
  TranslationTable table;
  EXPECT_EQ(table.FillFromImage(image.data(), image.size()), LoadStatus::kLoaded);
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
    EXPECT_EQ(table.FillFromImage(bad[i].data(), bad[i].size()), LoadStatus::kMalformedImage) << i;
    EXPECT_EQ(table.size(), 0u) << i;
    EXPECT_FALSE(CheckTranslationImage(bad[i].data(), bad[i].size()).wellFormed) << i;
  }
  EXPECT_EQ(TranslationTable().FillFromImage(nullptr, 10), LoadStatus::kMalformedImage);
}

// Many records, with duplicates, hashes that share their top bits and the extremes: every hash
// the image holds is found with its last record's text, and nothing else is found.
TEST(TranslationTable, AgreesWithAnOrderedMapOnALargeImage) {
  std::vector<std::pair<uint32_t, std::string>> records;
  uint32_t state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1103515245u + 12345u;
    uint32_t hash = state;
    if (i % 7 == 6) hash = records[static_cast<size_t>(i) / 2].first;  // a duplicate of an earlier one
    if (i % 11 == 0) hash = (hash & 0xFFFF0000u) | 0x00000001u;        // crowd some buckets
    if (i % 13 == 0) hash = 0x12345600u | (state >> 24);                 // and one of them a lot
    if (i == 5) hash = 0;
    if (i == 8) hash = 0xFFFFFFFFu;
    records.emplace_back(hash, "t" + std::to_string(i));
  }
  const auto image = BuildImage(records);
  std::map<uint32_t, std::string> expected;
  for (const auto& [hash, text] : records) expected[hash] = text;

  TranslationTable table;
  ASSERT_EQ(table.FillFromImage(image.data(), image.size()), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), expected.size());
  for (const auto& [hash, text] : expected) {
    ASSERT_NE(table.lookup(hash), nullptr) << hash;
    EXPECT_EQ(table.lookup(hash), text) << hash;
  }
  for (const auto& [hash, text] : expected) {
    EXPECT_EQ(table.lookup(hash + 1) != nullptr, expected.count(hash + 1) == 1) << hash + 1;
  }

  // Refilling replaces, and a failed fill leaves nothing behind.
  const auto small = BuildImage({{9, "nine"}});
  ASSERT_EQ(table.FillFromImage(small.data(), small.size()), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), 1u);
  EXPECT_EQ(table.lookup(0), nullptr);
  EXPECT_EQ(table.FillFromImage(image.data(), image.size() - 1), LoadStatus::kMalformedImage);
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.lookup(9), nullptr);
}

TEST(TranslationTable, HoldsItsImageAndReleasesItWithTheEntries) {
  TranslationTable table;
  const auto image = BuildImage({{3, "three"}, {4, "four"}});
  uint8_t* held = table.AllocateImage(image.size());
  ASSERT_NE(held, nullptr);
  std::copy(image.begin(), image.end(), held);
  ASSERT_EQ(table.FillFromImage(held, image.size()), LoadStatus::kLoaded);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(table.lookup(4)), held + 4 + 4 + 6 + 4);
  table.ReleaseImage();
  EXPECT_EQ(table.image(), nullptr);
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.lookup(3), nullptr);
}

}  // namespace
}  // namespace vykcn
