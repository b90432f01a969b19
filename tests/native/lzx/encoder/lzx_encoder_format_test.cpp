// The framing around the encoder's bit stream, and the prefix codes it builds, checked against
// the format's rules rather than against other encoder output.
#include <gtest/gtest.h>

#include <random>

#include "lzx/encoder/lzx_compress.h"
#include "lzx/encoder/lzx_encoder_huffman.h"
#include "mspack_cab.h"
#include "test_inputs.h"

namespace vykcn::test {
namespace {

TEST(LzxEncoderFraming, ChunksTrailerAndSizedLastChunk) {
  const std::vector<uint8_t> text = TextLike(100000, 21);
  for (size_t size : {0u, 1u, 32768u, 65536u, 70000u}) {
    SCOPED_TRACE(size);
    const auto stream = lzx::CompressLzx(text.data(), size);
    ASSERT_GE(stream.size(), 5u);
    EXPECT_EQ(std::vector<uint8_t>(stream.end() - 5, stream.end()), std::vector<uint8_t>(5, 0));
    const auto chunks = SplitFramedStream(stream);
    ASSERT_TRUE(chunks.has_value());
    ASSERT_EQ(chunks->size(), (size + 32767) / 32768);
    for (size_t k = 0; k < chunks->size(); ++k) {
      const bool last = k + 1 == chunks->size();
      const uint32_t expected = last && size % 32768 != 0 ? static_cast<uint32_t>(size % 32768) : 32768u;
      EXPECT_EQ((*chunks)[k].produced, expected);
      // Bits end on a 16-bit word; only raw bytes of an odd-sized last chunk leave an odd count.
      if (expected % 2 == 0) {
        EXPECT_EQ((*chunks)[k].data.size() % 2, 0u) << "chunk " << k;
      }
    }
    if (size % 32768 != 0) {
      EXPECT_EQ(stream[stream.size() - 5 - chunks->back().data.size() - 5], 0xFF);
    }
  }
}

TEST(LzxEncoderFraming, StreamHeaderBitAndTranslationSize) {
  const std::vector<uint8_t> text = TextLike(1000, 22);
  const auto off = lzx::CompressLzx(text.data(), text.size());
  // Sized chunk header, then the first 16-bit word: its top bit is the translation flag.
  ASSERT_EQ(off[0], 0xFF);
  EXPECT_EQ(off[6] & 0x80, 0);
  lzx::CompressOptions options;
  options.translationSize = 0x12345678;
  const auto on = lzx::CompressLzx(text.data(), text.size(), options);
  const uint32_t w0 = on[5] | on[6] << 8, w1 = on[7] | on[8] << 8, w2 = on[9] | on[10] << 8;
  const uint64_t bits = uint64_t{w0} << 32 | uint64_t{w1} << 16 | w2;  // 48 bits, first bit on top
  EXPECT_EQ(bits >> 47, 1u);
  EXPECT_EQ((bits >> 15) & 0xFFFFFFFF, 0x12345678u);
}

uint64_t KraftSum(const std::vector<uint8_t>& lengths, int max_length) {
  uint64_t sum = 0;
  for (uint8_t l : lengths) {
    if (l) sum += uint64_t{1} << (max_length - l);
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
    lzx::BuildCodeLengths(fibonacci.data(), static_cast<int>(fibonacci.size()), limit, lengths.data());
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
  lzx::BuildCodeLengths(freq.data(), 8, 7, lengths.data());
  EXPECT_EQ(lengths, std::vector<uint8_t>(8, 0));
  freq[5] = 40;  // one used symbol still gets a complete code of two 1-bit codewords
  lzx::BuildCodeLengths(freq.data(), 8, 7, lengths.data());
  EXPECT_EQ(lengths[5], 1);
  EXPECT_EQ(KraftSum(lengths, 7), 128u);
}

TEST(LzxEncoderHuffman, CanonicalCodewords) {
  // Lengths 2,1,3,3 (symbols 0..3): canonical codes 10, 0, 110, 111.
  const uint8_t lengths[4] = {2, 1, 3, 3};
  uint32_t codes[4];
  lzx::BuildCodewords(lengths, 4, codes);
  EXPECT_EQ(codes[0], 0b10u);
  EXPECT_EQ(codes[1], 0b0u);
  EXPECT_EQ(codes[2], 0b110u);
  EXPECT_EQ(codes[3], 0b111u);
}

}  // namespace
}  // namespace vykcn::test
