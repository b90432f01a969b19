#pragma once
// Places glyph rectangles in the atlas without overlap, with a transparent gap between them.
#include <cstddef>
#include <vector>

namespace vykcn::tool {

struct RectSize {
  int width = 0;
  int height = 0;
};

struct RectPlacement {
  int x = 0;
  int y = 0;
  bool placed = false;
};

// Packs the rectangles into a bin of binWidth x binHeight texels so that any two of them are at
// least `gap` texels apart (and each lies wholly inside the bin). Returns one placement per input,
// in input order; rectangles that do not fit have placed == false. Deterministic for equal input.
std::vector<RectPlacement> PackRectangles(const std::vector<RectSize>& sizes, int binWidth, int binHeight, int gap);

}  // namespace vykcn::tool
