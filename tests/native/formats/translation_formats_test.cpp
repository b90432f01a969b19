// The translation image and the translation resource: the one reader, the one writer, and the
// resource's split, pack and decode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/translation_image.h"
#include "common/translation_packing.h"
#include "formats/translation_resource.h"

namespace vykcn {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

TEST(TranslationImage, WriterAndRecordWalkAgree) {
  const std::vector<ImageRecord> records = {{0x11223344u, "你好"}, {0u, ""}, {0xFFFFFFFFu, "last"}};
  const std::vector<uint8_t> image = WriteTranslationImage(records);
  EXPECT_EQ(image.size(), 4u + (4 + 6 + 1) + (4 + 1) + (4 + 4 + 1));
  EXPECT_EQ(image.back(), 0);
  std::vector<std::pair<uint32_t, std::string>> walked;
  const ImageCheck check = WalkTranslationImage(image.data(), image.size(), [&walked](const ImageRecord& r) {
    walked.emplace_back(r.hash, std::string(r.text));
  });
  EXPECT_TRUE(check.wellFormed);
  EXPECT_EQ(check.recordCount, 3u);
  ASSERT_EQ(walked.size(), 3u);
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(walked[i].first, records[i].hash);
    EXPECT_EQ(walked[i].second, records[i].text);
  }
}

TEST(TranslationImage, CheckNamesWhatIsWrong) {
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
    bool wellFormed, hasCount;
    uint32_t count, badRecord;
  };
  const Case cases[] = {
      {"empty", {}, false, false, 0, 0},
      {"shorter than the count", Bytes({1, 0, 0}), false, false, 0, 0},
      {"zero records", Bytes({0, 0, 0, 0}), true, true, 0, 0},
      {"zero records, trailing bytes", Bytes({0, 0, 0, 0, 7, 7}), true, true, 0, 0},
      {"one record", Bytes({1, 0, 0, 0, 1, 2, 3, 4, 'a', 0}), true, true, 1, 0},
      {"first record lacks its terminator", Bytes({1, 0, 0, 0, 1, 2, 3, 4, 'a'}), false, true, 1, 0},
      {"second record cut in its hash", Bytes({2, 0, 0, 0, 1, 2, 3, 4, 0, 9, 9}), false, true, 2, 1},
      {"count far beyond the size", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 0}), false, true, 0xFFFFFFFFu, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ImageCheck check = CheckTranslationImage(c.image.data(), c.image.size());
    EXPECT_EQ(check.wellFormed, c.wellFormed);
    EXPECT_EQ(check.hasCount, c.hasCount);
    EXPECT_EQ(check.recordCount, c.count);
    if (!c.wellFormed && c.hasCount) {
      EXPECT_EQ(check.badRecord, c.badRecord);
    }
  }
  EXPECT_FALSE(CheckTranslationImage(nullptr, 10).wellFormed);
}

TEST(TranslationResource, PackSplitAndDecodeRoundTrip) {
  std::vector<uint8_t> image;
  for (int i = 0; i < 100000; ++i) image.push_back(static_cast<uint8_t>("subtitle "[i % 9] + (i / 4096)));
  const std::vector<uint8_t> resource = tool::PackTranslationResource(image);

  TranslationResourceParts parts;
  ASSERT_TRUE(SplitTranslationResource(resource.data(), resource.size(), &parts));
  EXPECT_EQ(parts.imageSize, image.size());
  EXPECT_EQ(parts.stream, resource.data() + kResourceHeaderSize);
  EXPECT_EQ(parts.streamSize, resource.size() - kResourceHeaderSize);

  std::vector<uint8_t> decoded(parts.imageSize);
  size_t produced = decoded.size();
  EXPECT_EQ(DecodeTranslationStream(parts.stream, parts.streamSize, decoded.data(), &produced), 0);
  EXPECT_EQ(produced, image.size());
  EXPECT_EQ(decoded, image);

  const uint8_t shortResource[3] = {1, 0, 0};
  EXPECT_FALSE(SplitTranslationResource(shortResource, sizeof shortResource, &parts));
  EXPECT_FALSE(SplitTranslationResource(nullptr, 8, &parts));
}

}  // namespace
}  // namespace vykcn
