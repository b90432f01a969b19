#pragma once
// Draws text as the host draws it with the module's font: each character's glyph record, scaled
// to the host's 'M' height, places a quad relative to the pen and the baseline, and the quad shows
// the record's rectangle of the atlas.
#include <cstdint>
#include <string>
#include <vector>

#include "font_building/atlas_file.h"
#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"

namespace vykcn::tool {

struct TextImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;          // width x height, 3 bytes per pixel
  int originX = 0;                   // pen position at the start of every line
  int firstBaseline = 0;             // baseline of the first line
  int lineAdvance = 0;               // baseline to baseline
  std::vector<uint32_t> missing;     // characters without a glyph, ascending, each once
};

struct TextStyle {
  int hostReferenceHeight = 25;              // the host's 'M' height in pixels
  uint8_t background[3] = {24, 24, 24};
  int64_t maxPixels = int64_t{16} << 20;     // a larger picture is refused before it is allocated
  int boxWidth = 0;                          // > 0: a line at this width from the pen's start, the box's edge
  bool clipWideLines = false;                // a line too wide for maxPixels is cut, and ends in a red arrow
};

// Renders `text` (UTF-8; line breaks on U+000A) with `records` and the decoded atlas, whose size
// turns the records' normalized coordinates into texels. The records are scaled by ScaleGlyphRecord with the host's
// 'M' height over the table's; quads are filled by bilinear sampling of their atlas rectangles and
// blended over the background. A character without a record is listed in `missing` and moves
// the pen by the space's advance; so does a tab, which needs no record (pack-font makes none).
// Throws CommandError when the text is not UTF-8 or the picture would exceed style.maxPixels (with
// style.clipWideLines, only when its lines alone are too many for it).
TextImage RenderText(const std::vector<GlyphRecord>& records, const AtlasImage& atlas,
                     const std::string& text, const TextStyle& style);

// Encodes the image as PNG bytes.
std::vector<uint8_t> EncodePng(const TextImage& image);

}  // namespace vykcn::tool
