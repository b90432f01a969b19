#pragma once
// Peak signal-to-noise ratio of decoded alpha against the original coverage.
#include <cstdint>

namespace vykcn::tool {

// PSNR in dB over the 4 x 4 blocks in which the original has any coverage (blank blocks encode
// exactly and would only dilute the figure). `decodedRgba` holds RGBA8 texels. Returns +infinity
// when the alpha is exact, and also when no block has coverage.
double AlphaPsnr(const uint8_t* coverage, const uint8_t* decodedRgba, int width, int height);

}  // namespace vykcn::tool
