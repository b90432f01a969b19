#include "font_building/font_pack.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/code_points.h"
#include "common/command_error.h"
#include "font_building/atlas_file.h"
#include "font_building/atlas_packer.h"
#include "font_building/font_chain.h"

namespace vykcn::tool {
namespace {

constexpr uint16_t kSpace = 0x20;
constexpr uint16_t kDelete = 0x7F;  // no font draws it; it gets the space's metrics

std::string ListCodePoints(const std::vector<uint32_t>& codes) {
  std::string list;
  for (uint32_t c : codes) list += (list.empty() ? "" : " ") + FormatCodePoint(c);
  return list;
}

void CheckFits(uint32_t code, const char* field, int value, int low, int high) {
  if (value < low || value > high) {
    throw CommandError("glyph " + FormatCodePoint(code) + ": " + field + " " + std::to_string(value) +
                       " does not fit a glyph record (" + std::to_string(low) + " to " + std::to_string(high) + ")");
  }
}

// Metrics of one glyph as a record stores them, before the atlas position is known. A glyph with
// no pixels still gets a 1 x 1 transparent rectangle, since a rectangle is never empty.
GlyphRecord RecordMetrics(uint16_t code, const RasterGlyph& glyph) {
  const bool blank = glyph.width == 0 || glyph.height == 0;
  const int offsetX = blank ? 0 : glyph.left, offsetY = blank ? 0 : -glyph.top;
  const int width = blank ? 1 : glyph.width, height = blank ? 1 : glyph.height;
  CheckFits(code, "offsetX", offsetX, INT8_MIN, INT8_MAX);
  CheckFits(code, "offsetY", offsetY, INT8_MIN, INT8_MAX);
  CheckFits(code, "advance", glyph.advance, INT8_MIN, INT8_MAX);
  CheckFits(code, "width", width, 1, UINT8_MAX);
  CheckFits(code, "height", height, 1, UINT8_MAX);
  GlyphRecord record{};
  record.code = code;
  record.offsetX = static_cast<int8_t>(offsetX);
  record.offsetY = static_cast<int8_t>(offsetY);
  record.advance = static_cast<int8_t>(glyph.advance);
  record.width = static_cast<uint8_t>(width);
  record.height = static_cast<uint8_t>(height);
  record.reserved = 0;
  return record;
}

// The glyphs of a charset at one 'M' height, trimmed to their ink, with their records' metrics.
struct RasterSet {
  int glyphHeight = 0;
  double pixelSize = 0;
  std::vector<RasterGlyph> glyphs;
  std::vector<GlyphRecord> records;
};

// Hinting moves an outline's edges to the pixel grid and the renderer trims blank rows and
// columns, so a glyph's rectangle is a pixel or so off its unhinted outline's; summed over a set,
// the rectangles with their gaps never took less than 104% of what the outlines give (WenQuanYi
// Micro Hei, DejaVu Sans and Droid Sans Fallback, 14 to 40 px em). A height at which even this
// share of the outlines' estimate overflows the atlas cannot fit, and is passed over unrendered.
constexpr double kLeastShareOfEstimate = 0.9;

// The texels a charset's glyphs take at least at each 'M' height, from their unhinted outlines:
// reading them costs a tenth of what hinting and rendering the glyphs at one height does.
class OutlineEstimate {
 public:
  OutlineEstimate(const FontChain& font, const GlyphCharset& charset) : font_(font) {
    for (uint16_t code : charset.codes) {
      const uint16_t drawn = code == kDelete ? kSpace : code;
      extents_.push_back(font.UnscaledExtent(drawn));
      fontIndices_.push_back(static_cast<size_t>(std::max(0, font.IndexOf(drawn))));
    }
  }

  // For each glyph, the least texels it and the glyphs after it take at `rows`; then a 0.
  std::vector<double> LeastTexelsFrom(int rows) const {
    const std::vector<double> sizes = font_.EstimatedPixelSizes(rows);
    std::vector<double> least(extents_.size() + 1, 0.0);
    for (size_t i = extents_.size(); i-- > 0;) {
      const double size = sizes[fontIndices_[i]];
      const double width = std::max(1.0, extents_[i].width * size), height = std::max(1.0, extents_[i].height * size);
      least[i] = least[i + 1] + kLeastShareOfEstimate * (width + kAtlasGlyphGap) * (height + kAtlasGlyphGap);
    }
    return least;
  }

 private:
  const FontChain& font_;
  std::vector<FontRasterizer::Extent> extents_;
  std::vector<size_t> fontIndices_;
};

enum class Raster { kDone, kNoSize, kOverflow };

// Draws the charset at one 'M' height into *set; kNoSize when no size of the font gives 'M' that
// height. With `least` (OutlineEstimate's), stops at kOverflow as soon as the rectangles drawn and
// the least the others take exceed `room`: the glyphs cannot fit there.
Raster RasterizeAt(FontChain& font, const GlyphCharset& charset, int glyphHeight, const std::vector<double>& least,
                   size_t room, RasterSet* set) {
  if (!font.TrySizeForReferenceHeight(glyphHeight)) return Raster::kNoSize;
  set->glyphHeight = glyphHeight;
  set->pixelSize = font.pixelSize();
  set->glyphs.reserve(charset.codes.size());
  set->records.reserve(charset.codes.size());
  double used = 0;
  for (size_t i = 0; i < charset.codes.size(); ++i) {
    const uint16_t code = charset.codes[i];
    // The delete character takes the space's metrics, with a blank rectangle of its own.
    set->glyphs.push_back(font.Render(code == kDelete ? kSpace : code));
    if (code == kDelete) set->glyphs.back().coverage.assign(set->glyphs.back().coverage.size(), 0);
    const GlyphRecord& record = set->records.emplace_back(RecordMetrics(code, set->glyphs.back()));
    used += double(record.width + kAtlasGlyphGap) * (record.height + kAtlasGlyphGap);
    if (!least.empty() && used + least[i + 1] > double(room)) return Raster::kOverflow;
  }
  return Raster::kDone;
}

struct Placement {
  std::vector<RectPlacement> places;
  size_t fitting = 0;
  size_t usedTexels = 0;
};

Placement PlaceGlyphs(const std::vector<GlyphRecord>& records, AtlasSize atlas) {
  Placement placement;
  std::vector<RectSize> sizes;
  sizes.reserve(records.size());
  for (const GlyphRecord& r : records) {
    sizes.push_back({r.width, r.height});
    placement.usedTexels += size_t(r.width + kAtlasGlyphGap) * (r.height + kAtlasGlyphGap);
  }
  // By area alone they cannot fit: no need to try (the bin's far edges need no border).
  if (placement.usedTexels > size_t(atlas.width + kAtlasGlyphGap) * (atlas.height + kAtlasGlyphGap)) {
    return placement;
  }
  placement.places = PackRectangles(sizes, atlas.width, atlas.height, kAtlasGlyphGap);
  placement.fitting = static_cast<size_t>(std::count_if(placement.places.begin(), placement.places.end(),
                                                         [](const RectPlacement& p) { return p.placed; }));
  return placement;
}

void CheckCharset(const GlyphCharset& charset) {
  if (!charset.unsupported.empty()) {
    throw CommandError("characters beyond U+FFFF cannot have a glyph record: " + ListCodePoints(charset.unsupported));
  }
}

void CheckFontCovers(const FontChain& font, const GlyphCharset& charset) {
  std::vector<uint32_t> missing;
  for (uint16_t code : charset.codes) {
    if (code != kDelete && !font.HasGlyph(code)) missing.push_back(code);
  }
  if (!missing.empty()) {
    throw CommandError(font.files().Lacking(std::to_string(missing.size()) + " characters: " + ListCodePoints(missing)));
  }
}

struct Fit {
  RasterSet set;
  Placement placement;
};

// The largest height from `highest` down to `lowest` at which every glyph fits, with its glyphs
// and places; none when even `lowest` does not fit, and then `*fittingAtLowest` says how many did.
// A forced height (`highest` == `lowest`) is drawn whatever; the automatic choice passes over the
// heights that the outlines rule out, and draws the lowest in full, to say how many fit.
std::optional<Fit> FindFit(FontChain& font, const GlyphCharset& charset,
                           AtlasSize atlas, int highest, int lowest, size_t* fittingAtLowest) {
  const size_t room = size_t(atlas.width + kAtlasGlyphGap) * (atlas.height + kAtlasGlyphGap);
  std::optional<OutlineEstimate> estimate;
  if (highest != lowest) estimate.emplace(font, charset);
  for (int rows = highest; rows >= lowest; --rows) {
    std::vector<double> least;
    if (estimate && rows != lowest) {
      least = estimate->LeastTexelsFrom(rows);
      if (least.front() > double(room)) continue;
    }
    RasterSet set;
    const Raster raster = RasterizeAt(font, charset, rows, least, room, &set);
    if (raster == Raster::kNoSize) {
      // Hinting skips a few heights; the automatic fit goes on below, a forced height fails.
      if (highest != lowest) continue;
      throw CommandError("font " + font.files().main + ": no size renders 'M' " + std::to_string(rows) +
                         " pixels high");
    }
    if (raster == Raster::kOverflow) continue;
    Fit fit{std::move(set), {}};
    fit.placement = PlaceGlyphs(fit.set.records, atlas);
    if (fit.placement.fitting == charset.codes.size()) return fit;
    if (rows == lowest) {
      // Too many by area: pack anyway, to say how many would fit.
      if (fit.placement.places.empty()) {
        std::vector<RectSize> sizes;
        for (const GlyphRecord& r : fit.set.records) sizes.push_back({r.width, r.height});
        const auto places = PackRectangles(sizes, atlas.width, atlas.height, kAtlasGlyphGap);
        fit.placement.fitting = static_cast<size_t>(
            std::count_if(places.begin(), places.end(), [](const RectPlacement& p) { return p.placed; }));
      }
      *fittingAtLowest = fit.placement.fitting;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> ChooseGlyphHeight(const FontFiles& fonts, const GlyphCharset& charset, AtlasSize atlas) {
  CheckCharset(charset);
  FontChain font(fonts);
  CheckFontCovers(font, charset);
  size_t fitting = 0;
  const std::optional<Fit> fit = FindFit(font, charset, atlas, kReferenceGlyphRows, kSmallestGlyphRows, &fitting);
  if (!fit) return std::nullopt;
  return fit->set.glyphHeight;
}

FontPack ArrangeFontPack(const FontFiles& fonts, const GlyphCharset& charset, const FontPackOptions& options) {
  CheckCharset(charset);
  FontChain font(fonts);
  CheckFontCovers(font, charset);
  const bool forced = options.glyphHeight != 0;
  const int highest = forced ? options.glyphHeight : kReferenceGlyphRows;
  const int lowest = forced ? options.glyphHeight : kSmallestGlyphRows;
  size_t fitting = 0;
  std::optional<Fit> fit = FindFit(font, charset, options.atlas, highest, lowest, &fitting);
  if (!fit) {
    throw CommandError("the glyphs do not fit the " + DescribeAtlasSize(options.atlas) + " atlas " +
                       (forced ? "with 'M' " : "even with 'M' ") + std::to_string(lowest) + " px high: " +
                       std::to_string(fitting) + " of " + std::to_string(charset.codes.size()) + " fit");
  }

  FontPack pack;
  pack.atlas = options.atlas;
  pack.pixelSize = fit->set.pixelSize;
  pack.glyphHeight = fit->set.glyphHeight;
  pack.usedTexels = fit->placement.usedTexels;
  pack.fromFallbacks.assign(fonts.fallbacks.size(), 0);
  for (uint16_t code : charset.codes) {
    const int index = code == kDelete ? 0 : font.IndexOf(code);
    if (index > 0) ++pack.fromFallbacks[size_t(index - 1)];
  }
  pack.records = std::move(fit->set.records);
  pack.glyphs = std::move(fit->set.glyphs);
  pack.places = std::move(fit->placement.places);
  const float atlasWidth = static_cast<float>(options.atlas.width), atlasHeight = static_cast<float>(options.atlas.height);
  for (size_t i = 0; i < pack.records.size(); ++i) {
    const RectPlacement& place = pack.places[i];
    GlyphRecord& record = pack.records[i];
    // Whole texels divided by a power of two: exact in single precision, and so are the
    // differences that give back width and height.
    record.uLeft = static_cast<float>(place.x) / atlasWidth;
    record.uRight = static_cast<float>(place.x + record.width) / atlasWidth;
    record.vTop = static_cast<float>(place.y) / atlasHeight;
    record.vBottom = static_cast<float>(place.y + record.height) / atlasHeight;
  }
  return pack;
}

void DrawFontPackAtlas(FontPack* pack) {
  const int atlasWidth = pack->atlas.width;
  pack->coverage.assign(size_t(atlasWidth) * pack->atlas.height, 0);
  for (size_t i = 0; i < pack->glyphs.size(); ++i) {
    const RasterGlyph& glyph = pack->glyphs[i];
    const RectPlacement& place = pack->places[i];
    for (int y = 0; y < glyph.height; ++y) {
      std::memcpy(&pack->coverage[size_t(place.y + y) * atlasWidth + place.x],
                  &glyph.coverage[size_t(y) * glyph.width], size_t(glyph.width));
    }
  }
}

FontPack BuildFontPack(const FontFiles& fonts, const GlyphCharset& charset, const FontPackOptions& options) {
  FontPack pack = ArrangeFontPack(fonts, charset, options);
  DrawFontPackAtlas(&pack);
  return pack;
}

}  // namespace vykcn::tool
