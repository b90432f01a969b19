#pragma once
// Turns a font and a character set into glyph records and the coverage image of their atlas.
#include <cstdint>
#include <string>
#include <vector>

#include "font_building/glyph_charset.h"
#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"

namespace vykcn::tool {

constexpr int kReferenceGlyphRows = 25;  // the 'M' of the module's table is 25 pixels high
constexpr int kAtlasGlyphGap = 1;        // transparent texels between two glyph rectangles

struct FontPackOptions {
  int atlasWidth = kAtlasWidth;
  int atlasHeight = kAtlasHeight;
};

struct FontPack {
  std::vector<GlyphRecord> records;  // one per code of the charset, same order
  std::vector<uint8_t> coverage;     // atlasWidth x atlasHeight, row-major
  double pixelSize = 0;              // the em size at which the font was rasterised
};

// Rasterises every code of `charset` at the size at which 'M' is 25 pixels high and packs the
// glyphs into the atlas. Throws CommandError, naming what is wrong, when the charset has
// characters beyond U+FFFF, the font cannot be read or lacks characters, a glyph's metrics do not
// fit a record, or the glyphs do not all fit the atlas.
FontPack BuildFontPack(const std::string& fontPath, const GlyphCharset& charset,
                       const FontPackOptions& options = FontPackOptions());

}  // namespace vykcn::tool
