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

class FontRasterizer {
 public:
  // Opens face 0 of a TTF, OTF or TTC file. Throws CommandError when the font cannot be read or has
  // no scalable outlines.
  explicit FontRasterizer(const std::string& path);
  ~FontRasterizer();
  FontRasterizer(const FontRasterizer&) = delete;
  FontRasterizer& operator=(const FontRasterizer&) = delete;

  bool HasGlyph(uint32_t codePoint) const;

  // Picks the pixel size, in 1/64 pixel steps and as close as possible to the size that the
  // outline suggests, at which `codePoint` renders exactly `rows` rows high. Throws CommandError
  // when no size near it does.
  void SizeForReferenceHeight(uint32_t codePoint, int rows);

  // The pixel size in use (em height in pixels).
  double pixelSize() const;

  // Renders one character that the font has; throws CommandError when FreeType fails.
  RasterGlyph Render(uint32_t codePoint) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vykcn::tool
