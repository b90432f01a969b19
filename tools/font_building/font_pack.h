#pragma once
// Turns a font (and its fallbacks) and a character set into glyph records and the coverage image of
// their atlas, at the largest 'M' height at which every glyph fits the atlas, or at a height the
// caller forces.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "font_building/atlas_packer.h"
#include "font_building/font_chain.h"
#include "font_building/glyph_charset.h"
#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"

namespace vykcn::tool {

constexpr int kReferenceGlyphRows = 25;  // the 'M' of the documented table is 25 pixels high
constexpr int kSmallestGlyphRows = 12;   // the automatic fit goes no lower: smaller glyphs upscale badly
constexpr int kAtlasGlyphGap = 1;        // transparent texels between two glyph rectangles

struct FontPackOptions {
  AtlasSize atlas;      // any size; the module accepts those of kAtlasSizes
  int glyphHeight = 0;  // 'M' height in pixels; 0: the largest from 25 down to 12 at which all fit
};

struct FontPack {
  std::vector<GlyphRecord> records;  // one per code of the charset, same order
  std::vector<RasterGlyph> glyphs;   // their bitmaps, same order
  std::vector<RectPlacement> places; // their rectangles in the atlas, same order
  std::vector<uint8_t> coverage;     // atlas.width x atlas.height, row-major; empty until drawn
  AtlasSize atlas;
  double pixelSize = 0;              // the em size at which the font was rasterised
  int glyphHeight = 0;               // the 'M' height of the records
  size_t usedTexels = 0;             // texels taken by the rectangles and their one-texel borders
  std::vector<size_t> fromFallbacks; // per fallback font, in order: the glyphs taken from it
};

// The largest 'M' height from 25 down to 12 pixels at which every glyph of `charset` fits an atlas
// of `atlas`'s size, or none when they do not fit even at 12. Throws CommandError as BuildFontPack.
std::optional<int> ChooseGlyphHeight(const FontFiles& fonts, const GlyphCharset& charset, AtlasSize atlas);

// Rasterises every code of `charset`, each from the first font of the chain that has it, at the 'M'
// height of `options` (or the one ChooseGlyphHeight picks) and places the glyphs in the atlas: the
// records pack-font writes, with their bitmaps, but no atlas drawn (what check measures with).
// Throws CommandError, naming what is wrong, when the charset has characters beyond U+FFFF, a font
// cannot be read, no font has a character, a glyph's metrics do not fit a record, or the glyphs do
// not all fit the atlas.
FontPack ArrangeFontPack(const FontFiles& fonts, const GlyphCharset& charset,
                         const FontPackOptions& options = FontPackOptions());

// Draws the arranged glyphs into pack->coverage.
void DrawFontPackAtlas(FontPack* pack);

// ArrangeFontPack, then DrawFontPackAtlas.
FontPack BuildFontPack(const FontFiles& fonts, const GlyphCharset& charset,
                       const FontPackOptions& options = FontPackOptions());

}  // namespace vykcn::tool
