#include "font_building/font_chain.h"

#include "common/code_points.h"
#include "common/command_error.h"
#include "formats/glyph_table.h"

namespace vykcn::tool {

std::string FontFiles::Tried() const {
  std::string list = main;
  for (const std::string& fallback : fallbacks) list += ", " + fallback;
  return list;
}

std::string FontFiles::Lacking(const std::string& what, const std::string& note) const {
  return (fallbacks.empty() ? "the font lacks " : "the fonts lack ") + what + " (" + (note.empty() ? "" : note + "; ") +
         "fonts tried: " + Tried() + ")";
}

FontChain::FontChain(const FontFiles& files) : files_(files) {
  fonts_.push_back(std::make_unique<FontRasterizer>(files.main, files.face));
  for (const std::string& fallback : files.fallbacks) fonts_.push_back(std::make_unique<FontRasterizer>(fallback));
}

FontChain::~FontChain() = default;

int FontChain::IndexOf(uint32_t codePoint) const {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    if (fonts_[i]->HasGlyph(codePoint)) return static_cast<int>(i);
  }
  return -1;
}

FontRasterizer* FontChain::FontOf(uint32_t codePoint) const {
  const int index = IndexOf(codePoint);
  return index >= 0 ? fonts_[size_t(index)].get() : nullptr;
}

bool FontChain::TrySizeForReferenceHeight(int rows) {
  FontRasterizer* reference = FontOf(kReferenceGlyphCode);
  if (reference == nullptr) {
    throw CommandError(files_.Lacking("'M', whose height sets the glyphs' size"));
  }
  if (!reference->TrySizeForReferenceHeight(kReferenceGlyphCode, rows)) return false;
  for (const auto& font : fonts_) {
    if (font.get() == reference) continue;
    if (font->HasGlyph(kReferenceGlyphCode)) {
      font->SizeNearReferenceHeight(kReferenceGlyphCode, rows);
    } else {
      font->SetPixelSize(reference->pixelSize());
    }
  }
  return true;
}

double FontChain::pixelSize() const {
  const FontRasterizer* reference = FontOf(kReferenceGlyphCode);
  return reference != nullptr ? reference->pixelSize() : 0;
}

std::vector<double> FontChain::EstimatedPixelSizes(int rows) const {
  const FontRasterizer* reference = FontOf(kReferenceGlyphCode);
  if (reference == nullptr) throw CommandError(files_.Lacking("'M', whose height sets the glyphs' size"));
  const double referenceSize = reference->EstimatedPixelSize(kReferenceGlyphCode, rows);
  std::vector<double> sizes;
  for (const auto& font : fonts_) {
    sizes.push_back(font->HasGlyph(kReferenceGlyphCode) ? font->EstimatedPixelSize(kReferenceGlyphCode, rows)
                                                        : referenceSize);
  }
  return sizes;
}

FontRasterizer::Extent FontChain::UnscaledExtent(uint32_t codePoint) const {
  const FontRasterizer* font = FontOf(codePoint);
  return font != nullptr ? font->UnscaledExtent(codePoint) : FontRasterizer::Extent{};
}

RasterGlyph FontChain::Render(uint32_t codePoint) const {
  const FontRasterizer* font = FontOf(codePoint);
  if (font == nullptr) {
    throw CommandError(files_.Lacking(FormatCodePoint(codePoint)));
  }
  return font->Render(codePoint);
}

}  // namespace vykcn::tool
