#pragma once
// Whether a set of characters fits the module's atlas, by the rule that pack-font applies. The one
// place that asks it, so that a new rule for choosing the glyph size changes only this file.
#include <string>

#include "font_building/glyph_charset.h"

namespace vykcn::tool {

struct AtlasFit {
  int referenceRows = 0;  // the 'M' height pack-font uses
  bool fits = false;      // the glyphs fit at that height
  int largestRows = 0;    // the largest 'M' height at which they fit; 0 when none from 6 up does
};

// Throws CommandError when the font cannot be read.
AtlasFit FitAtlas(const std::string& fontPath, const GlyphCharset& charset);

}  // namespace vykcn::tool
