// The module loaded under another name has no resources of its own: nothing is read, nothing shown.
#include <gtest/gtest.h>

#include "font/glyph_substitution.h"
#include "win32/resource_blob.h"
#include "test_support.h"

namespace vykcn {
namespace {

TEST(RenamedModule, ResourcesAreDoneWithoutQuietly) {
  test::MessageBoxRecorder messages;
  HMODULE copy = test::LoadRelative("renamed-module\\other.dll");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(FindOwnModule(), nullptr);

  ModuleImageResources resources;
  ResourceBytes bytes;
  EXPECT_FALSE(resources.LoadData(101, &bytes));

  // The glyph substitution goes on with an empty table.
  GlyphSubstitution substitution(resources);
  GlyphRecord host[1] = {};
  GlyphRecord* array = host;
  uint32_t count = 1;
  substitution.ReplaceGlyphTable(&array, &count);
  EXPECT_NE(array, host);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(substitution.IssuedGlyphTables().size(), 1u);
  substitution.ReleaseGlyphTables();

  EXPECT_TRUE(messages.calls().empty());
}

}  // namespace
}  // namespace vykcn
