#pragma once
// FreeType rasterisation of single characters with anti-aliasing, at the pixel size at which a
// reference character reaches a given height.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vykcn::tool {

struct RasterGlyph {
  int left = 0;     // pen position to the bitmap's left edge, pixels
  int top = 0;      // baseline to the bitmap's top edge, pixels, positive upwards
  int advance = 0;  // pen movement, whole pixels
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;  // width x height, row-major, 0 = empty, 255 = covered
};

// Drops the rows and columns of `glyph` that have no coverage at all, moving `left` and `top` with
// them so that the glyph is drawn at the same place. A glyph without ink becomes 0 x 0.
void TrimToInk(RasterGlyph* glyph);

class FontRasterizer {
 public:
  // Opens face `face` of a TTF, OTF or TTC file. Throws CommandError when the font cannot be read,
  // has no such face or has no scalable outlines.
  explicit FontRasterizer(const std::string& path, int face = 0);
  ~FontRasterizer();
  FontRasterizer(const FontRasterizer&) = delete;
  FontRasterizer& operator=(const FontRasterizer&) = delete;

  bool HasGlyph(uint32_t codePoint) const;

  // Picks the pixel size, in 1/64 pixel steps and as close as possible to the size that the
  // outline suggests, at which `codePoint` renders exactly `rows` rows high. Throws CommandError
  // when no size near it does.
  void SizeForReferenceHeight(uint32_t codePoint, int rows);
  // The same, but false (with the size unchanged) when no size near the estimate gives `rows`:
  // hinting snaps some heights away.
  bool TrySizeForReferenceHeight(uint32_t codePoint, int rows);
  // The same for a font drawn beside another one: when no size gives exactly `rows`, the size
  // nearest the estimate among those that come closest.
  void SizeNearReferenceHeight(uint32_t codePoint, int rows);
  // Sets the em height in pixels (1/64 pixel steps).
  void SetPixelSize(double pixels);

  // The pixel size in use (em height in pixels).
  double pixelSize() const;

  // The em height in pixels at which `codePoint`'s outline, unhinted, is `rows` high: where the
  // sizing above starts its search. Throws CommandError as the sizing does.
  double EstimatedPixelSize(uint32_t codePoint, int rows) const;

  // The extent of a character's outline, unhinted and unscaled, as a fraction of the em (zero for
  // a glyph without contours): read without hinting or rendering, for estimates at any size.
  struct Extent {
    double width = 0;
    double height = 0;
  };
  Extent UnscaledExtent(uint32_t codePoint) const;

  // Renders one character that the font has, trimmed to its ink; throws CommandError when FreeType
  // fails.
  RasterGlyph Render(uint32_t codePoint) const;

 private:
  struct State;
  // Sets the size, in 1/64 pixels nearest the outline's linear estimate, at which `codePoint` comes
  // nearest `rows` rows high; true when exactly.
  bool SizeNearest(uint32_t codePoint, int rows);
  std::unique_ptr<State> state_;
};

}  // namespace vykcn::tool
