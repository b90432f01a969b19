#include "checks/atlas_fit.h"

#include <optional>

#include "font_building/font_pack.h"

namespace vykcn::tool {

AtlasFit FitAtlas(const FontFiles& fonts, const GlyphCharset& charset, AtlasSize atlas) {
  // Characters no font has are reported on their own; the fit is that of the others.
  constexpr uint16_t kDelete = 0x7F;
  GlyphCharset drawable;
  {
    const FontChain font(fonts);
    for (uint16_t code : charset.codes) {
      if (code == kDelete || font.HasGlyph(code)) drawable.codes.push_back(code);
    }
  }
  AtlasFit fit;
  fit.referenceRows = kReferenceGlyphRows;
  const std::optional<int> rows = ChooseGlyphHeight(fonts, drawable, atlas);
  fit.largestRows = rows.value_or(0);
  fit.fits = fit.largestRows == kReferenceGlyphRows;
  return fit;
}

}  // namespace vykcn::tool
