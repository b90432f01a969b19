// Whether a character set fits the atlas, and the largest 'M' height at which it would.
#include <gtest/gtest.h>

#include "checks/atlas_fit.h"
#include "tools/support/test_fonts.h"

namespace vykcn::test {
namespace {

tool::GlyphCharset Ideographs(uint16_t count) {
  tool::GlyphCharset charset;
  for (uint16_t c = 0x20; c <= 0x7F; ++c) charset.codes.push_back(c);
  for (uint16_t i = 0; i < count; ++i) charset.codes.push_back(static_cast<uint16_t>(0x4E00 + i));
  return charset;
}

TEST(AtlasFit, FitsAtTheReferenceHeightOrNamesTheLargestThatWould) {
  const tool::AtlasFit small = tool::FitAtlas(kMicroHei, Ideographs(100));
  EXPECT_TRUE(small.fits);
  EXPECT_EQ(small.largestRows, 25);
  // About as many glyphs as a 25-pixel atlas holds, and a few hundred more: a pixel or two less
  // does it. (Heights the font cannot be sized to exactly are skipped, not taken as "too big".)
  const tool::AtlasFit large = tool::FitAtlas(kMicroHei, Ideographs(2300));
  EXPECT_FALSE(large.fits);
  EXPECT_GE(large.largestRows, 20);
  EXPECT_LT(large.largestRows, 25);
}

}  // namespace
}  // namespace vykcn::test
