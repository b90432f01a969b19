#include "checks/atlas_fit.h"

#include <algorithm>

#include "common/command_error.h"
#include "font_building/atlas_packer.h"
#include "font_building/font_pack.h"
#include "font_building/font_rasterizer.h"
#include "formats/dds_atlas.h"

namespace vykcn::tool {
namespace {

constexpr int kSmallestRows = 6;
constexpr uint16_t kSpace = 0x20, kDelete = 0x7F;

// The glyph rectangles at an 'M' height of `rows`, as pack-font sizes them (a blank glyph still
// takes one texel); false when the font cannot be sized so.
bool Fits(FontRasterizer& font, const GlyphCharset& charset, int rows) {
  try {
    font.SizeForReferenceHeight(kReferenceGlyphCode, rows);
  } catch (const CommandError&) {
    return false;
  }
  std::vector<RectSize> sizes;
  sizes.reserve(charset.codes.size());
  for (uint16_t code : charset.codes) {
    if (code != kDelete && !font.HasGlyph(code)) continue;
    const RasterGlyph glyph = font.Render(code == kDelete ? kSpace : code);
    const bool blank = glyph.width == 0 || glyph.height == 0;
    sizes.push_back({blank ? 1 : glyph.width, blank ? 1 : glyph.height});
  }
  const std::vector<RectPlacement> placements = PackRectangles(sizes, kAtlasWidth, kAtlasHeight, kAtlasGlyphGap);
  return std::all_of(placements.begin(), placements.end(), [](const RectPlacement& p) { return p.placed; });
}

}  // namespace

AtlasFit FitAtlas(const std::string& fontPath, const GlyphCharset& charset) {
  FontRasterizer font(fontPath);
  AtlasFit fit;
  fit.referenceRows = kReferenceGlyphRows;
  fit.fits = Fits(font, charset, kReferenceGlyphRows);
  if (fit.fits) {
    fit.largestRows = kReferenceGlyphRows;
    return fit;
  }
  // Smaller is not always possible: a font may have no size at which 'M' is exactly so many rows
  // high. So each height is tried, largest first.
  for (int rows = kReferenceGlyphRows - 1; rows >= kSmallestRows && fit.largestRows == 0; --rows) {
    if (Fits(font, charset, rows)) fit.largestRows = rows;
  }
  return fit;
}

}  // namespace vykcn::tool
