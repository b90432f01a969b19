// BC3 alpha blocks, the white colour half, and the atlas's DDS file.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/command_error.h"
#include "font_building/atlas_file.h"
#include "font_building/bc3_block.h"
#include "font_building/bc3_encoder.h"
#include "formats/dds_atlas.h"
#include "tools/support/reference_formats.h"

namespace vykcn::tool {
namespace {

// The BC3 alpha palette written out from the format's definition, rounded to nearest.
std::vector<int> ReferenceAlphaPalette(int a0, int a1) {
  std::vector<int> p = {a0, a1};
  if (a0 > a1) {
    for (int k = 1; k <= 6; ++k) p.push_back(((7 - k) * a0 + k * a1 + 3) / 7);
  } else {
    for (int k = 1; k <= 4; ++k) p.push_back(((5 - k) * a0 + k * a1 + 2) / 5);
    p.push_back(0);
    p.push_back(255);
  }
  return p;
}

// Decodes an 8-byte alpha block with the palette above.
std::vector<int> ReferenceDecodeAlpha(const uint8_t* block) {
  const std::vector<int> palette = ReferenceAlphaPalette(block[0], block[1]);
  std::vector<int> alpha(16);
  for (int i = 0; i < 16; ++i) {
    const int bit = 16 + 3 * i;  // indices start after the two endpoint bytes
    int index = 0;
    for (int b = 0; b < 3; ++b) index |= ((block[(bit + b) / 8] >> ((bit + b) % 8)) & 1) << b;
    alpha[i] = palette[index];
  }
  return alpha;
}

int SquaredError(const uint8_t alpha[16], const std::vector<int>& decoded) {
  int total = 0;
  for (int i = 0; i < 16; ++i) total += (alpha[i] - decoded[i]) * (alpha[i] - decoded[i]);
  return total;
}

// The error of the plain fit: endpoints at the block's minimum and maximum, eight-value mode.
int MinMaxFitError(const uint8_t alpha[16]) {
  const int lo = *std::min_element(alpha, alpha + 16), hi = *std::max_element(alpha, alpha + 16);
  const std::vector<int> palette = ReferenceAlphaPalette(hi, lo);
  int total = 0;
  for (int i = 0; i < 16; ++i) {
    int best = 1 << 30;
    for (int v : palette) best = std::min(best, (alpha[i] - v) * (alpha[i] - v));
    total += best;
  }
  return total;
}

TEST(Bc3AlphaBlock, DecodesBothPaletteModesFromHandWrittenBlocks) {
  // Eight-value mode, a0 = 255 > a1 = 0; texel i uses index i % 8 (3 bits each, little-endian).
  uint64_t bits = 0;
  for (int i = 0; i < 16; ++i) bits |= uint64_t(i % 8) << (3 * i);
  uint8_t block[8] = {255, 0};
  for (int i = 0; i < 6; ++i) block[2 + i] = uint8_t(bits >> (8 * i));
  uint8_t alpha[16];
  DecodeAlphaBlock(block, alpha);
  const uint8_t eight[8] = {255, 0, 219, 182, 146, 109, 73, 36};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(alpha[i], eight[i % 8]) << "texel " << i;

  // Six-value mode, a0 = 0 <= a1 = 255: four values between, then 0 and 255.
  block[0] = 0;
  block[1] = 255;
  DecodeAlphaBlock(block, alpha);
  const uint8_t six[8] = {0, 255, 51, 102, 153, 204, 0, 255};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(alpha[i], six[i % 8]) << "texel " << i;
}

TEST(Bc3AlphaBlock, EncodesSimpleBlocksExactly) {
  const uint8_t uniform[16] = {77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77};
  const uint8_t hardEdge[16] = {0, 0, 255, 255, 0, 0, 255, 255, 0, 255, 255, 255, 0, 0, 0, 255};
  const uint8_t edgeAndOneGrey[16] = {0, 0, 0, 0, 0, 128, 255, 255, 0, 255, 255, 255, 0, 0, 0, 0};
  for (const uint8_t* alpha : {uniform, hardEdge, edgeAndOneGrey}) {
    uint8_t block[8];
    EncodeAlphaBlock(alpha, block);
    EXPECT_EQ(SquaredError(alpha, ReferenceDecodeAlpha(block)), 0);
  }
}

TEST(Bc3AlphaBlock, FitsAntiAliasedBlocksAtLeastAsWellAsMinMax) {
  // Glyph-like blocks: a ramp across a soft edge, with empty and full texels around it.
  std::mt19937 random(12345);
  long ours = 0, plain = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    uint8_t alpha[16];
    const int edge = int(random() % 6), slope = 30 + int(random() % 120);
    for (int i = 0; i < 16; ++i) {
      const int v = ((i % 4) + (i / 4) - edge) * slope + int(random() % 23) - 11;
      alpha[i] = uint8_t(std::clamp(v, 0, 255));
    }
    uint8_t block[8];
    EncodeAlphaBlock(alpha, block);
    const int error = SquaredError(alpha, ReferenceDecodeAlpha(block));
    ASSERT_LE(error, MinMaxFitError(alpha)) << "trial " << trial;
    ours += error;
    plain += MinMaxFitError(alpha);
  }
  EXPECT_LT(ours, plain * 3 / 4);  // the refinement must buy a real gain, not only break even
}

TEST(Bc3Image, BlocksFollowTheImageRowByRowWithWhiteColour) {
  // 8 x 8 coverage: each 4 x 4 quarter holds one distinct constant.
  std::vector<uint8_t> coverage(64);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) coverage[y * 8 + x] = uint8_t(10 + 40 * ((y / 4) * 2 + x / 4));
  const std::vector<uint8_t> blocks = EncodeWhiteBc3(coverage.data(), 8, 8);
  ASSERT_EQ(blocks.size(), 4u * 16);
  for (int b = 0; b < 4; ++b) {
    const uint8_t* block = &blocks[b * 16];
    EXPECT_EQ(ReferenceDecodeAlpha(block), std::vector<int>(16, 10 + 40 * b)) << "block " << b;
    // Both RGB565 endpoints white: every colour index then reads white.
    EXPECT_EQ(block[8], 0xFF);
    EXPECT_EQ(block[9], 0xFF);
    EXPECT_EQ(block[10], 0xFF);
    EXPECT_EQ(block[11], 0xFF);
  }
  const std::vector<uint8_t> rgba = DecodeBc3Image(blocks.data(), 8, 8);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(rgba[i * 4], 255);
    EXPECT_EQ(rgba[i * 4 + 1], 255);
    EXPECT_EQ(rgba[i * 4 + 2], 255);
    EXPECT_EQ(rgba[i * 4 + 3], coverage[i]) << "texel " << i;
  }
}

TEST(AtlasFile, HasTheExactPrefixAndSize) {
  std::vector<uint8_t> blocks(2097152, 0x5A);
  const std::vector<uint8_t> file = BuildAtlasFile(blocks);
  ASSERT_EQ(file.size(), 2097280u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 128), test::ExpectedAtlasPrefix());
  EXPECT_TRUE(std::all_of(file.begin() + 128, file.end(), [](uint8_t b) { return b == 0x5A; }));
  EXPECT_EQ(AtlasFileProblem(file), "");
}

TEST(AtlasFile, RejectsAnyOtherHeaderOrSize) {
  std::vector<uint8_t> file = test::ExpectedAtlasPrefix();
  file.resize(2097280);
  for (size_t byte : {0u, 8u, 12u, 16u, 28u, 84u, 108u, 112u}) {
    std::vector<uint8_t> changed = file;
    changed[byte] ^= 1;
    EXPECT_NE(AtlasFileProblem(changed), "") << "byte " << byte;
  }
  std::vector<uint8_t> shorter(file.begin(), file.end() - 16);
  EXPECT_NE(AtlasFileProblem(shorter), "");
  EXPECT_NE(AtlasFileProblem(std::vector<uint8_t>(file.begin(), file.begin() + 100)), "");
  EXPECT_THROW(DecodeAtlasFile(shorter, "x"), CommandError);
}

}  // namespace
}  // namespace vykcn::tool
