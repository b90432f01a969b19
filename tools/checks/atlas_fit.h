#pragma once
// Whether a set of characters fits the module's atlas, by the rule that pack-font applies
// (ChooseGlyphHeight), for the documented 2048 x 1024 atlas or another size.
#include <string>

#include "font_building/font_chain.h"
#include "font_building/glyph_charset.h"
#include "formats/dds_atlas.h"

namespace vykcn::tool {

struct AtlasFit {
  int referenceRows = 0;  // the 'M' height pack-font uses
  bool fits = false;      // the glyphs fit at that height
  int largestRows = 0;    // the largest 'M' height at which they fit; 0 when none from 12 up does
};

// Throws CommandError when a font cannot be read.
AtlasFit FitAtlas(const FontFiles& fonts, const GlyphCharset& charset, AtlasSize atlas = AtlasSize());

}  // namespace vykcn::tool
