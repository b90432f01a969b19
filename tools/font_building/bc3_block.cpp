#include "font_building/bc3_block.h"

#include <cstring>

#include "base/byte_order.h"

namespace vykcn::tool {
namespace {

// RGB565 to 8 bits per channel, replicating the high bits into the low ones.
void ExpandRgb565(uint16_t c, uint8_t rgb[3]) {
  const unsigned r = c >> 11 & 31, g = c >> 5 & 63, b = c & 31;
  rgb[0] = static_cast<uint8_t>(r << 3 | r >> 2);
  rgb[1] = static_cast<uint8_t>(g << 2 | g >> 4);
  rgb[2] = static_cast<uint8_t>(b << 3 | b >> 2);
}

void DecodeColorBlock(const uint8_t block[8], uint8_t rgb[16][3]) {
  uint8_t palette[4][3];
  ExpandRgb565(ReadU16LE(block), palette[0]);
  ExpandRgb565(ReadU16LE(block + 2), palette[1]);
  for (int c = 0; c < 3; ++c) {
    palette[2][c] = static_cast<uint8_t>((2 * palette[0][c] + palette[1][c] + 1) / 3);
    palette[3][c] = static_cast<uint8_t>((palette[0][c] + 2 * palette[1][c] + 1) / 3);
  }
  const uint32_t indices = ReadU32LE(block + 4);
  for (int i = 0; i < 16; ++i) std::memcpy(rgb[i], palette[indices >> (2 * i) & 3], 3);
}

}  // namespace

void BuildAlphaPalette(uint8_t a0, uint8_t a1, uint8_t palette[kAlphaPaletteSize]) {
  palette[0] = a0;
  palette[1] = a1;
  if (a0 > a1) {
    for (int k = 1; k <= 6; ++k) palette[k + 1] = static_cast<uint8_t>(((7 - k) * a0 + k * a1 + 3) / 7);
  } else {
    for (int k = 1; k <= 4; ++k) palette[k + 1] = static_cast<uint8_t>(((5 - k) * a0 + k * a1 + 2) / 5);
    palette[6] = 0;
    palette[7] = 255;
  }
}

void DecodeAlphaBlock(const uint8_t block[8], uint8_t alpha[16]) {
  uint8_t palette[kAlphaPaletteSize];
  BuildAlphaPalette(block[0], block[1], palette);
  uint64_t indices = 0;
  for (int i = 0; i < 6; ++i) indices |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) alpha[i] = palette[indices >> (3 * i) & 7];
}

std::vector<uint8_t> DecodeBc3Image(const uint8_t* blocks, int width, int height) {
  std::vector<uint8_t> rgba(size_t(width) * height * 4);
  const int blocksWide = width / 4, blocksHigh = height / 4;
  for (int by = 0; by < blocksHigh; ++by) {
    for (int bx = 0; bx < blocksWide; ++bx) {
      const uint8_t* block = blocks + (size_t(by) * blocksWide + bx) * kBc3BlockSize;
      uint8_t alpha[16], rgb[16][3];
      DecodeAlphaBlock(block, alpha);
      DecodeColorBlock(block + 8, rgb);
      for (int i = 0; i < 16; ++i) {
        uint8_t* texel = &rgba[((size_t(by) * 4 + i / 4) * width + bx * 4 + i % 4) * 4];
        std::memcpy(texel, rgb[i], 3);
        texel[3] = alpha[i];
      }
    }
  }
  return rgba;
}

}  // namespace vykcn::tool
