#pragma once
// The fonts a glyph table is drawn from: a main font, then fallback fonts in order. Each character
// comes from the first font that has it, and every font is sized so that its own 'M' is as high as
// the table's, so that a character taken from a fallback sits with the others at the same size.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "font_building/font_rasterizer.h"

namespace vykcn::tool {

// A font alone converts to a chain of one.
struct FontFiles {
  FontFiles(std::string mainFont, int mainFace = 0, std::vector<std::string> fallbackFonts = {})
      : main(std::move(mainFont)), face(mainFace), fallbacks(std::move(fallbackFonts)) {}
  std::string main;
  int face = 0;                        // of the main font, when it is a collection (fallbacks: their first)
  std::vector<std::string> fallbacks;  // in the order they are tried
  // "A", or "A, B" for a chain: the fonts a missing character was looked for in.
  std::string Tried() const;
  // "the font lacks WHAT (NOTE; fonts tried: A)", or "the fonts lack WHAT (...: A, B)" for a chain.
  std::string Lacking(const std::string& what, const std::string& note = "") const;
};

class FontChain {
 public:
  // Opens every font. Throws CommandError, naming the file, when one cannot be read.
  explicit FontChain(const FontFiles& files);
  ~FontChain();
  FontChain(const FontChain&) = delete;
  FontChain& operator=(const FontChain&) = delete;

  bool HasGlyph(uint32_t codePoint) const { return IndexOf(codePoint) >= 0; }
  // The place in the chain (0: the main font) of the first font that has the character; -1: none.
  int IndexOf(uint32_t codePoint) const;

  // Sizes the chain so that 'M' renders `rows` high: the first font that has an 'M' exactly (its
  // 'M' is the table's size reference), every other font with an 'M' as near to that as it can
  // be, and a font without one at the same em height as the reference font. False (sizes as they
  // were) when the reference font cannot be sized exactly; throws CommandError when no font has 'M'.
  bool TrySizeForReferenceHeight(int rows);

  // The reference font's em height in pixels.
  double pixelSize() const;

  // Each font's em height in pixels, in chain order, as TrySizeForReferenceHeight(rows) would size
  // it, estimated from the unhinted outlines of 'M' without rendering anything.
  std::vector<double> EstimatedPixelSizes(int rows) const;

  // The unhinted extent of a character's outline in the first font that has it, as a fraction of
  // that font's em; zero when none has it.
  FontRasterizer::Extent UnscaledExtent(uint32_t codePoint) const;

  // Renders a character from the first font that has it (as FontRasterizer::Render); throws
  // CommandError when none has it.
  RasterGlyph Render(uint32_t codePoint) const;

  const FontFiles& files() const { return files_; }

 private:
  FontRasterizer* FontOf(uint32_t codePoint) const;

  FontFiles files_;
  std::vector<std::unique_ptr<FontRasterizer>> fonts_;  // main first
};

}  // namespace vykcn::tool
