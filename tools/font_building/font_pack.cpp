#include "font_building/font_pack.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/code_points.h"
#include "common/command_error.h"
#include "font_building/atlas_packer.h"
#include "font_building/font_rasterizer.h"

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

}  // namespace

FontPack BuildFontPack(const std::string& fontPath, const GlyphCharset& charset, const FontPackOptions& options) {
  if (!charset.unsupported.empty()) {
    throw CommandError("characters beyond U+FFFF cannot have a glyph record: " + ListCodePoints(charset.unsupported));
  }
  FontRasterizer font(fontPath);
  std::vector<uint32_t> missing;
  for (uint16_t code : charset.codes) {
    if (code != kDelete && !font.HasGlyph(code)) missing.push_back(code);
  }
  if (!missing.empty()) {
    throw CommandError("font " + fontPath + " lacks " + std::to_string(missing.size()) +
                       " characters: " + ListCodePoints(missing));
  }
  font.SizeForReferenceHeight(kReferenceGlyphCode, kReferenceGlyphRows);

  FontPack pack;
  pack.pixelSize = font.pixelSize();
  std::vector<RasterGlyph> glyphs;
  std::vector<RectSize> sizes;
  glyphs.reserve(charset.codes.size());
  for (uint16_t code : charset.codes) {
    // The delete character takes the space's metrics, with a blank rectangle of its own.
    glyphs.push_back(font.Render(code == kDelete ? kSpace : code));
    if (code == kDelete) glyphs.back().coverage.assign(glyphs.back().coverage.size(), 0);
    pack.records.push_back(RecordMetrics(code, glyphs.back()));
    sizes.push_back({pack.records.back().width, pack.records.back().height});
  }

  const std::vector<RectPlacement> placements =
      PackRectangles(sizes, options.atlasWidth, options.atlasHeight, kAtlasGlyphGap);
  const size_t fitting = static_cast<size_t>(
      std::count_if(placements.begin(), placements.end(), [](const RectPlacement& p) { return p.placed; }));
  if (fitting != placements.size()) {
    throw CommandError("the glyphs do not fit the " + std::to_string(options.atlasWidth) + " x " +
                       std::to_string(options.atlasHeight) + " atlas: " + std::to_string(fitting) + " of " +
                       std::to_string(placements.size()) + " fit");
  }

  pack.coverage.assign(size_t(options.atlasWidth) * options.atlasHeight, 0);
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const RasterGlyph& glyph = glyphs[i];
    const RectPlacement& place = placements[i];
    GlyphRecord& record = pack.records[i];
    for (int y = 0; y < glyph.height; ++y) {
      std::memcpy(&pack.coverage[size_t(place.y + y) * options.atlasWidth + place.x],
                  &glyph.coverage[size_t(y) * glyph.width], size_t(glyph.width));
    }
    // Whole texels divided by a power of two: exact in single precision, and so are the
    // differences that give back width and height.
    record.uLeft = static_cast<float>(place.x) / static_cast<float>(options.atlasWidth);
    record.uRight = static_cast<float>(place.x + record.width) / static_cast<float>(options.atlasWidth);
    record.vTop = static_cast<float>(place.y) / static_cast<float>(options.atlasHeight);
    record.vBottom = static_cast<float>(place.y + record.height) / static_cast<float>(options.atlasHeight);
  }
  return pack;
}

}  // namespace vykcn::tool
