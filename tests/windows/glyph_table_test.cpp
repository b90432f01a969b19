// Glyph substitution inside the module: resource 101 read from the module's image and scaled.
#include <gtest/gtest.h>

#include "font/glyph_substitution.h"
#include "win32/resource_blob.h"
#include "host_glyphs.h"
#include "test_support.h"

namespace vykcn {
namespace {

TEST(GlyphTableInModule, ScalesResource101ToTheHostM) {
  ASSERT_NE(test::LoadRelative("fixture-module\\vykcn.dll"), nullptr);
  test::MessageBoxRecorder messages;

  ModuleImageResources resources;
  GlyphSubstitution substitution(resources);
  GlyphRecord host[2] = {test::HostGlyph('A', 18), test::HostGlyph('M', 20)};
  GlyphRecord* array = host;
  uint32_t count = 2;
  substitution.ReplaceGlyphTable(&array, &count);

  ASSERT_EQ(count, 3u);  // 77 bytes: three records and a partial one
  ASSERT_NE(array, host);
  EXPECT_EQ(array[1].code, 'M');
  EXPECT_EQ(array[1].offsetX, 2);
  EXPECT_EQ(array[1].offsetY, -20);
  EXPECT_EQ(array[1].advance, 24);
  EXPECT_EQ(array[1].width, 20);
  EXPECT_EQ(array[1].height, 20);
  EXPECT_EQ(array[2].code, 0x4E2D);
  EXPECT_EQ(array[2].offsetY, -20);
  EXPECT_EQ(array[2].height, 24);
  EXPECT_EQ(array[0].advance, 7);
  EXPECT_EQ(array[0].width, 0);

  // A second call scales from the array the first one wrote and hands out a new array.
  GlyphRecord* first = array;
  substitution.ReplaceGlyphTable(&array, &count);
  EXPECT_NE(array, first);
  EXPECT_EQ(array[1].height, 20);
  EXPECT_EQ(substitution.IssuedGlyphTables().size(), 2u);

  substitution.ReleaseGlyphTables();
  EXPECT_TRUE(substitution.IssuedGlyphTables().empty());
  EXPECT_TRUE(messages.calls().empty());
}

}  // namespace
}  // namespace vykcn
