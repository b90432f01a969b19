#include "font_building/alpha_psnr.h"

#include <cmath>
#include <limits>

namespace vykcn::tool {

double AlphaPsnr(const uint8_t* coverage, const uint8_t* decodedRgba, int width, int height) {
  uint64_t squaredError = 0, texels = 0;
  for (int by = 0; by < height / 4; ++by) {
    for (int bx = 0; bx < width / 4; ++bx) {
      bool covered = false;
      for (int i = 0; i < 16 && !covered; ++i) covered = coverage[size_t(by * 4 + i / 4) * width + bx * 4 + i % 4] != 0;
      if (!covered) continue;
      for (int i = 0; i < 16; ++i) {
        const size_t index = size_t(by * 4 + i / 4) * width + bx * 4 + i % 4;
        const int d = coverage[index] - decodedRgba[index * 4 + 3];
        squaredError += static_cast<uint64_t>(d * d);
      }
      texels += 16;
    }
  }
  if (squaredError == 0) return std::numeric_limits<double>::infinity();
  const double mse = static_cast<double>(squaredError) / static_cast<double>(texels);
  return 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace vykcn::tool
