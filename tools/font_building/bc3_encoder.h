#pragma once
// BC3 encoding of a coverage image: every texel white, the coverage in alpha. The colour half of
// each block is constant; the work is in fitting the alpha endpoints.
#include <cstdint>
#include <vector>

namespace vykcn::tool {

// Fits one 4 x 4 block of alpha values (row by row) and writes its 8-byte alpha block. Tries both
// palette modes, starting from the value range, then refines the endpoints by least squares and
// by a local search, keeping whatever gives the smallest squared error under BuildAlphaPalette.
void EncodeAlphaBlock(const uint8_t alpha[16], uint8_t block[8]);

// Encodes width x height coverage values (row-major, both sizes multiples of 4) as BC3 blocks,
// row of blocks by row of blocks, with white texels.
std::vector<uint8_t> EncodeWhiteBc3(const uint8_t* coverage, int width, int height);

}  // namespace vykcn::tool
