// The encoder's prefix codes: complete, within the length limit, canonical.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lzx/encoder/huffman_codes.h"

namespace vykcn::lzx::test {
namespace {

uint64_t KraftSum(const std::vector<uint8_t>& lengths, int maxLength) {
  uint64_t sum = 0;
  for (uint8_t l : lengths) {
    if (l) sum += uint64_t{1} << (maxLength - l);
  }
  return sum;
}

TEST(LzxEncoderHuffman, CompleteCodesWithinTheLengthLimit) {
  // Fibonacci frequencies force depths far beyond the limit.
  std::vector<uint32_t> fibonacci(30);
  fibonacci[0] = fibonacci[1] = 1;
  for (size_t i = 2; i < fibonacci.size(); ++i) fibonacci[i] = fibonacci[i - 1] + fibonacci[i - 2];
  for (int limit : {7, 15, 16}) {
    std::vector<uint8_t> lengths(fibonacci.size());
    BuildCodeLengths(fibonacci.data(), static_cast<int>(fibonacci.size()), limit, lengths.data());
    for (uint8_t l : lengths) {
      EXPECT_GE(l, 1);
      EXPECT_LE(l, limit);
    }
    EXPECT_EQ(KraftSum(lengths, limit), uint64_t{1} << limit) << "limit " << limit;
    // A more frequent symbol never gets a longer code.
    for (size_t i = 1; i < lengths.size(); ++i) EXPECT_LE(lengths[i], lengths[i - 1]);
  }
}

TEST(LzxEncoderHuffman, DegenerateFrequencySets) {
  std::vector<uint32_t> freq(8, 0);
  std::vector<uint8_t> lengths(8, 9);
  BuildCodeLengths(freq.data(), 8, 7, lengths.data());
  EXPECT_EQ(lengths, std::vector<uint8_t>(8, 0));
  freq[5] = 40;  // one used symbol still gets a complete code of two 1-bit codewords
  BuildCodeLengths(freq.data(), 8, 7, lengths.data());
  EXPECT_EQ(lengths[5], 1);
  EXPECT_EQ(KraftSum(lengths, 7), 128u);
}

TEST(LzxEncoderHuffman, CanonicalCodewords) {
  // Lengths 2,1,3,3 (symbols 0..3): canonical codes 10, 0, 110, 111.
  const uint8_t lengths[4] = {2, 1, 3, 3};
  uint32_t codes[4];
  BuildCodewords(lengths, 4, codes);
  EXPECT_EQ(codes[0], 0b10u);
  EXPECT_EQ(codes[1], 0b0u);
  EXPECT_EQ(codes[2], 0b110u);
  EXPECT_EQ(codes[3], 0b111u);
}

}  // namespace
}  // namespace vykcn::lzx::test
