// LoadResourceBlob and the module-handle rule, against the test build of the module.
#include <gtest/gtest.h>

#include <cstring>

#include "win32/resource_blob.h"
#include "formats/resource_ids.h"
#include "test_support.h"
#include "base/byte_order.h"

namespace vykcn {
namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;

class ResourceBlobTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fixture_ = test::LoadRelative("fixture-module\\vykcn.dll"); }
  static HMODULE fixture_;
  test::MessageBoxRecorder messages_;
};
HMODULE ResourceBlobTest::fixture_ = nullptr;

TEST_F(ResourceBlobTest, OwnModuleIsFoundByBaseName) {
  ASSERT_NE(fixture_, nullptr);
  EXPECT_EQ(FindOwnModule(), fixture_);
}

TEST_F(ResourceBlobTest, DataResourcesYieldPointerAndSize) {
  uint32_t size = kUntouched;
  const auto* glyphs = static_cast<const uint8_t*>(LoadResourceBlob(kGlyphTableResourceId, fixture_, &size));
  ASSERT_NE(glyphs, nullptr);
  EXPECT_EQ(size, 77u);
  EXPECT_EQ(glyphs[0], 0x20);
  EXPECT_EQ(glyphs[76], 0x05);

  const auto* translations = static_cast<const uint8_t*>(LoadResourceBlob(kTranslationResourceId, fixture_, &size));
  ASSERT_NE(translations, nullptr);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(ReadU32LE(translations), 424676u);
  EXPECT_TRUE(messages_.calls().empty());
}

TEST_F(ResourceBlobTest, OnlyTheLow16BitsOfTheIdCount) {
  uint32_t size = kUntouched;
  const void* direct = LoadResourceBlob(101, fixture_, &size);
  const void* wide = LoadResourceBlob(65637, fixture_, &size);
  EXPECT_NE(wide, nullptr);
  EXPECT_EQ(wide, direct);
  EXPECT_EQ(size, 77u);
}

TEST_F(ResourceBlobTest, FailuresReportTheirMessageAndLeaveTheSizeAlone) {
  struct Case {
    uint32_t id;
    const char* message;
  } cases[] = {
      {kFontAtlasResourceId, "Can't find resource"},  // RCDATA, not IDR_DATA
      {999, "Can't find resource"},
      {104, "Can't resource size"},                   // zero-size resource
  };
  for (const Case& c : cases) {
    messages_.clear();
    uint32_t size = kUntouched;
    EXPECT_EQ(LoadResourceBlob(c.id, fixture_, &size), nullptr) << c.id;
    EXPECT_EQ(size, kUntouched) << c.id;
    ASSERT_EQ(messages_.calls().size(), 1u) << c.id;
    EXPECT_EQ(messages_.calls()[0].text, c.message);
    EXPECT_EQ(messages_.calls()[0].caption, "Error");
    EXPECT_EQ(messages_.calls()[0].type, 0u);
  }
}

TEST_F(ResourceBlobTest, EveryCallRepeatsTheLookupAndTheReport) {
  uint32_t size = kUntouched;
  LoadResourceBlob(999, fixture_, &size);
  LoadResourceBlob(999, fixture_, &size);
  EXPECT_EQ(messages_.calls().size(), 2u);
}

TEST_F(ResourceBlobTest, ModuleImageResourcesReadThroughTheOwnModule) {
  ModuleImageResources resources;
  ResourceBytes bytes;
  ASSERT_TRUE(resources.LoadData(kGlyphTableResourceId, &bytes));
  EXPECT_EQ(bytes.size, 77u);
  EXPECT_FALSE(resources.LoadData(999, &bytes));
  EXPECT_EQ(messages_.calls().size(), 1u);
}

}  // namespace
}  // namespace vykcn
