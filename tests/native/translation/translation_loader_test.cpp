#include "translation/translation_loader.h"

#include <gtest/gtest.h>

#include "common/translation_packing.h"
#include "translation/image_builder.h"
#include "translation/loader_fakes.h"

namespace vykcn {
namespace {

using test::BuildImageFromTexts;

// The loader with its collaborators, all in memory.
struct LoaderRig {
  void UseImage(const std::vector<uint8_t>& image) {
    decoder.output = image;
    resources.SetResource(static_cast<uint32_t>(image.size()));
  }
  test::FakeResources resources;
  test::FakeDecoder decoder;
  test::RecordingSink messages;
  TranslationTable table;
  TranslationLoader loader{resources, messages, table, &test::FakeDecoder::Decode};
};

class LoaderTest : public ::testing::Test, public LoaderRig {};

TEST_F(LoaderTest, FillsTheTableFromTheDecodedImage) {
  UseImage(BuildImageFromTexts({{"Hello", "你好"}, {"Bye", "再见"}}));
  ASSERT_EQ(loader.LoadTranslationTable(), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_STREQ(table.lookup(SubtitleHash("Hello")), "你好");
  // The stream handed to the decoder is the resource after its 4-byte size.
  EXPECT_EQ(decoder.lastSource, std::vector<uint8_t>(resources.bytes.begin() + 4, resources.bytes.end()));
  EXPECT_EQ(decoder.decodes, 1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoaderTest, MissingResourceOrModuleFailsWithoutItsOwnMessage) {
  resources.available = false;
  EXPECT_EQ(loader.LoadTranslationTable(), LoadStatus::kNoResource);
  EXPECT_EQ(decoder.decodes, 0);
  EXPECT_EQ(table.image(), nullptr);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoaderTest, FailuresShowTheirMessageAndLeaveTheTableEmpty) {
  struct Case {
    const char* name;
    void (*arrange)(LoaderRig&);
    const char* message;
    int decodes;
    LoadStatus status;
  } cases[] = {
      {"no memory for a context", [](LoaderRig& t) { t.decoder.status = lzx::kStatusOutOfMemory; },
       "error: data corrupted", 1, LoadStatus::kOutOfMemory},
      {"decoding fails", [](LoaderRig& t) { t.decoder.status = lzx::kStatusFail; }, "error: data corrupted", 1,
       LoadStatus::kDecodeFailed},
      {"size differs", [](LoaderRig& t) { t.resources.SetResource(static_cast<uint32_t>(t.decoder.output.size() + 1)); },
       "error: decomp size mismatch", 1, LoadStatus::kSizeMismatch},
      {"image runs past its end", [](LoaderRig& t) { t.decoder.output[0] = 9; },  // count 9, two records
       "error: data corrupted", 1, LoadStatus::kMalformedImage},
      {"resource shorter than its header", [](LoaderRig& t) { t.resources.bytes = {1, 0, 0}; },
       "error: data corrupted", 0, LoadStatus::kShortResource},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoaderRig rig;
    rig.UseImage(BuildImageFromTexts({{"Hello", "你好"}, {"Bye", "再见"}}));
    c.arrange(rig);
    EXPECT_EQ(rig.loader.LoadTranslationTable(), c.status);
    EXPECT_EQ(rig.table.size(), 0u);
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{c.message});
    EXPECT_EQ(rig.decoder.decodes, c.decodes);
  }
}

TEST_F(LoaderTest, EveryRetryRepeatsTheLoadAndKeepsOneImage) {
  UseImage(BuildImageFromTexts({{"Hello", "你好"}}));
  decoder.status = lzx::kStatusFail;
  EXPECT_EQ(loader.LoadTranslationTable(), LoadStatus::kDecodeFailed);
  const uint8_t* rejected = table.image();
  EXPECT_NE(rejected, nullptr);  // kept until the next load
  EXPECT_EQ(loader.LoadTranslationTable(), LoadStatus::kDecodeFailed);
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(resources.loads, 2);
  decoder.status = lzx::kStatusOk;
  EXPECT_EQ(loader.LoadTranslationTable(), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), 1u);
}

TEST_F(LoaderTest, AnImageOfZeroRecordsLoadsWithoutMessageAndFillsNothing) {
  UseImage(BuildImageFromTexts({}));
  EXPECT_EQ(loader.LoadTranslationTable(), LoadStatus::kLoaded);
  EXPECT_EQ(loader.LoadTranslationTable(), LoadStatus::kLoaded);
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(decoder.decodes, 2);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoaderTest, AZeroSizeImageStillNeedsItsRecordCount) {
  UseImage({});
  EXPECT_EQ(loader.LoadTranslationTable(), LoadStatus::kMalformedImage);
  EXPECT_EQ(messages.shown, std::vector<std::string>{"error: data corrupted"});
}

// The one call with the module's decoder, as a build that reads the resource from a file would
// make it: a packed resource fills the table; with its size header a byte off, it does not.
TEST(LoadTranslationResource, DecodesAPackedResourceIntoTheTable) {
  const std::vector<uint8_t> image = BuildImageFromTexts({{"Hello", "你好"}, {"Bye", "再见"}});
  std::vector<uint8_t> resource = tool::PackTranslationResource(image);
  TranslationTable table;
  ASSERT_EQ(LoadTranslationResource(resource.data(), resource.size(), table), LoadStatus::kLoaded);
  EXPECT_STREQ(table.lookup(SubtitleHash("Bye")), "再见");
  WriteU32LE(resource.data(), static_cast<uint32_t>(image.size() + 1));
  EXPECT_EQ(LoadTranslationResource(resource.data(), resource.size(), table), LoadStatus::kSizeMismatch);
  EXPECT_EQ(table.size(), 0u);
}

}  // namespace
}  // namespace vykcn
