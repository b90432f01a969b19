// The translation resource as pack-text writes it and the toolkit's readers unpack it.
#include <gtest/gtest.h>

#include "base/byte_order.h"
#include "common/command_error.h"
#include "common/translation_packing.h"
#include "formats/translation_resource.h"
#include "formats/translation_image.h"
#include "module_reading/resource_decoding.h"
#include "module_reading/translation_records.h"
#include "text_sources/translation_image_builder.h"
#include "tools/support/reference_formats.h"

namespace vykcn::test {
namespace {

TEST(TranslationResource, DecodesToTheImageAndIsDeterministic) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::vector<tool::TextEntry> entries;
  for (int i = 0; i < 3000; ++i) {
    const std::string host = "Line " + std::to_string(i) + " of the script";
    const std::string translation = "\xE7\xAC\xAC " + std::to_string(i) + " \xE8\xA1\x8C\xE5\x8F\xB0\xE8\xAF\x8D";
    pairs.emplace_back(host, translation);
    tool::TextEntry entry;
    entry.host = host;
    entry.translation = translation;
    entries.push_back(entry);
  }
  const auto build = tool::BuildTranslationImage(entries);
  ASSERT_EQ(build.image, ExpectedImage(pairs));
  const auto resource = tool::PackTranslationResource(build.image);
  ASSERT_GE(resource.size(), 4u);
  EXPECT_EQ(ReadU32LE(resource.data()), build.image.size());
  EXPECT_LT(resource.size(), build.image.size() / 3);
  EXPECT_EQ(tool::UnpackTranslationResource(resource, "test"), build.image);
  EXPECT_EQ(tool::PackTranslationResource(tool::BuildTranslationImage(entries).image), resource);
}

TEST(TranslationResource, DamagedResourcesAreReported) {
  const auto resource = tool::PackTranslationResource(ExpectedImage({{"a", "b"}, {"c", "d"}}));
  auto wrongSize = resource;
  wrongSize[0] ^= 1;
  EXPECT_THROW(tool::UnpackTranslationResource(wrongSize, "x"), tool::CommandError);
  EXPECT_THROW(tool::UnpackTranslationResource({1, 0}, "x"), tool::CommandError);
}

// How watch counts what an edit did to the records: in place when the hashes keep their order,
// by hash when they do not.
TEST(TranslationRecords, ComparedByHashWhateverTheirOrder) {
  using Records = std::vector<ImageRecord>;
  const struct {
    Records before, after;
    size_t added, changed, removed;
  } cases[] = {
      {{}, {{1, "a"}, {2, "b"}}, 2, 0, 0},
      {{{1, "a"}, {2, "b"}}, {{1, "a"}, {2, "c"}}, 0, 1, 0},
      {{{1, "a"}, {2, "b"}}, {{2, "b"}, {1, "x"}}, 0, 1, 0},
      {{{1, "a"}, {2, "b"}}, {{2, "b"}, {3, "c"}}, 1, 0, 1},
      {{{1, "a"}, {2, "b"}, {3, "c"}}, {{1, "a"}, {3, "d"}}, 0, 1, 1},
  };
  for (const auto& c : cases) {
    size_t records = 0;
    const tool::RecordChanges changes =
        tool::CompareImageRecords(c.before.empty() ? std::vector<uint8_t>{} : WriteTranslationImage(c.before),
                                  WriteTranslationImage(c.after), &records);
    EXPECT_EQ(changes.added, c.added) << c.after.size();
    EXPECT_EQ(changes.changed, c.changed) << c.after.size();
    EXPECT_EQ(changes.removed, c.removed) << c.after.size();
    EXPECT_EQ(records, c.after.size());
  }
}

}  // namespace
}  // namespace vykcn::test
