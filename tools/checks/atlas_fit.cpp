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
  // Fewer rows never take more room, so the largest fitting height is found by halving.
  int low = kSmallestRows - 1, high = kReferenceGlyphRows;  // low fits (or is the floor), high does not
  while (high - low > 1) {
    const int middle = (low + high) / 2;
    if (Fits(font, charset, middle)) {
      low = middle;
    } else {
      high = middle;
    }
  }
  fit.largestRows = low >= kSmallestRows ? low : 0;
  return fit;
}

}  // namespace vykcn::tool
