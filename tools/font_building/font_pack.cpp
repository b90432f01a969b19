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

// None when no size of the font gives 'M' that height.
std::optional<RasterSet> RasterizeAt(FontChain& font, const GlyphCharset& charset, int glyphHeight) {
  if (!font.TrySizeForReferenceHeight(glyphHeight)) return std::nullopt;
  RasterSet set;
  set.glyphHeight = glyphHeight;
  set.pixelSize = font.pixelSize();
  set.glyphs.reserve(charset.codes.size());
  set.records.reserve(charset.codes.size());
  for (uint16_t code : charset.codes) {
    // The delete character takes the space's metrics, with a blank rectangle of its own.
    set.glyphs.push_back(font.Render(code == kDelete ? kSpace : code));
    if (code == kDelete) set.glyphs.back().coverage.assign(set.glyphs.back().coverage.size(), 0);
    set.records.push_back(RecordMetrics(code, set.glyphs.back()));
  }
  return set;
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
std::optional<Fit> FindFit(FontChain& font, const GlyphCharset& charset,
                           AtlasSize atlas, int highest, int lowest, size_t* fittingAtLowest) {
  for (int rows = highest; rows >= lowest; --rows) {
    std::optional<RasterSet> set = RasterizeAt(font, charset, rows);
    if (!set) {
      // Hinting skips a few heights; the automatic fit goes on below, a forced height fails.
      if (highest != lowest) continue;
      throw CommandError("font " + font.files().main + ": no size renders 'M' " + std::to_string(rows) +
                         " pixels high");
    }
    Fit fit{std::move(*set), {}};
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

FontPack BuildFontPack(const FontFiles& fonts, const GlyphCharset& charset, const FontPackOptions& options) {
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
  const int atlasWidth = options.atlas.width, atlasHeight = options.atlas.height;
  pack.coverage.assign(size_t(atlasWidth) * atlasHeight, 0);
  for (size_t i = 0; i < pack.records.size(); ++i) {
    const RasterGlyph& glyph = fit->set.glyphs[i];
    const RectPlacement& place = fit->placement.places[i];
    GlyphRecord& record = pack.records[i];
    for (int y = 0; y < glyph.height; ++y) {
      std::memcpy(&pack.coverage[size_t(place.y + y) * atlasWidth + place.x],
                  &glyph.coverage[size_t(y) * glyph.width], size_t(glyph.width));
    }
    // Whole texels divided by a power of two: exact in single precision, and so are the
    // differences that give back width and height.
    record.uLeft = static_cast<float>(place.x) / static_cast<float>(atlasWidth);
    record.uRight = static_cast<float>(place.x + record.width) / static_cast<float>(atlasWidth);
    record.vTop = static_cast<float>(place.y) / static_cast<float>(atlasHeight);
    record.vBottom = static_cast<float>(place.y + record.height) / static_cast<float>(atlasHeight);
  }
  return pack;
}

}  // namespace vykcn::tool
