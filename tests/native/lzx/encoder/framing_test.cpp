// The framing around the encoder's bit stream and its stream header, checked against the format's
// rules rather than against other encoder output.
#include <gtest/gtest.h>

#include "lzx/encoder/compress.h"
#include "module_options.h"
#include "mspack_cab.h"
#include "test_inputs.h"

namespace vykcn::lzx::test {
namespace {

TEST(LzxEncoderFraming, ChunksTrailerAndSizedLastChunk) {
  const std::vector<uint8_t> text = TextLike(100000, 21);
  for (size_t size : {0u, 1u, 32768u, 65536u, 70000u}) {
    SCOPED_TRACE(size);
    const auto stream = CompressLzx(text.data(), size, ModuleOptions());
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

TEST(LzxEncoderFraming, StreamHeaderBitAndCallTranslationSize) {
  const std::vector<uint8_t> text = TextLike(1000, 22);
  const auto off = CompressLzx(text.data(), text.size(), ModuleOptions());
  // Sized chunk header, then the first 16-bit word: its top bit is the call translation flag.
  ASSERT_EQ(off[0], 0xFF);
  EXPECT_EQ(off[6] & 0x80, 0);
  const auto on = CompressLzx(text.data(), text.size(), ModuleOptions(0x12345678));
  const uint32_t w0 = on[5] | on[6] << 8, w1 = on[7] | on[8] << 8, w2 = on[9] | on[10] << 8;
  const uint64_t bits = uint64_t{w0} << 32 | uint64_t{w1} << 16 | w2;  // 48 bits, first bit on top
  EXPECT_EQ(bits >> 47, 1u);
  EXPECT_EQ((bits >> 15) & 0xFFFFFFFF, 0x12345678u);
}

}  // namespace
}  // namespace vykcn::lzx::test
