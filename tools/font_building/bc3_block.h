#pragma once
// BC3 (DXT5) blocks: 16 bytes per 4 x 4 texels. The first 8 bytes code alpha: two endpoint bytes
// a0 and a1, then sixteen 3-bit palette indices (texel 0 in the lowest bits, row by row). When
// a0 > a1 the palette is a0, a1 and six values between them; otherwise it is a0, a1, four values
// between them, 0 and 255. The last 8 bytes are a DXT1 colour block (two RGB565 endpoints and
// sixteen 2-bit indices), always read with four colours in BC3.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/dds_atlas.h"  // kBc3BlockSize

namespace vykcn::tool {

constexpr int kAlphaPaletteSize = 8;

// The eight alpha values that the indices of a block with endpoints a0, a1 select. Values between
// the endpoints are rounded to nearest, as graphics hardware does.
void BuildAlphaPalette(uint8_t a0, uint8_t a1, uint8_t palette[kAlphaPaletteSize]);

// Decodes the 16 alpha values of an 8-byte alpha block.
void DecodeAlphaBlock(const uint8_t block[8], uint8_t alpha[16]);

// Decodes a whole BC3 image of width x height texels (multiples of 4) into RGBA8, row-major.
std::vector<uint8_t> DecodeBc3Image(const uint8_t* blocks, int width, int height);

}  // namespace vykcn::tool
