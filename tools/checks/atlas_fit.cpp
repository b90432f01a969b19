#include "checks/atlas_fit.h"

#include <optional>

#include "font_building/font_pack.h"
#include "font_building/font_rasterizer.h"

namespace vykcn::tool {

AtlasFit FitAtlas(const std::string& fontPath, const GlyphCharset& charset, int face, AtlasSize atlas) {
  // Characters the font lacks are reported on their own; the fit is that of the others.
  constexpr uint16_t kDelete = 0x7F;
  GlyphCharset drawable;
  {
    FontRasterizer font(fontPath, face);
    for (uint16_t code : charset.codes) {
      if (code == kDelete || font.HasGlyph(code)) drawable.codes.push_back(code);
    }
  }
  AtlasFit fit;
  fit.referenceRows = kReferenceGlyphRows;
  const std::optional<int> rows = ChooseGlyphHeight(fontPath, drawable, atlas, face);
  fit.largestRows = rows.value_or(0);
  fit.fits = fit.largestRows == kReferenceGlyphRows;
  return fit;
}

}  // namespace vykcn::tool
