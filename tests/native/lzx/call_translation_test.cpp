// The shared call translation: the encoding direction changes exactly the operands the decoding
// direction turns back, so that undoing it chunk by chunk gives the input back.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/byte_order.h"
#include "lzx/call_translation.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx::test {
namespace {

// Undoes call translation on every chunk below the chunk limit, as the decoder does on its output.
std::vector<uint8_t> UndoChunkByChunk(std::vector<uint8_t> data, uint32_t callTranslationSize) {
  for (size_t start = 0, chunk = 0; start < data.size() && chunk < kCallTranslationChunkLimit;
       start += kFrameSize, ++chunk) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(kFrameSize, data.size() - start));
    UndoCallTranslation(data.data() + start, n, static_cast<uint32_t>(start), callTranslationSize);
  }
  return data;
}

// Bytes dense with 0xE8, operands anywhere in the 32-bit range or near the stream's positions.
std::vector<uint8_t> CallHeavy(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> data(n);
  for (size_t i = 0; i < n; ++i) data[i] = rng() % 3 == 0 ? kCallOpcode : static_cast<uint8_t>(rng());
  for (size_t i = 0; i + 5 <= n; i += 1 + rng() % 9) {
    if (data[i] != kCallOpcode) continue;
    const int32_t near = static_cast<int32_t>(rng() % (2 * n + 2)) - static_cast<int32_t>(n);
    WriteU32LE(&data[i + 1], rng() % 2 ? static_cast<uint32_t>(near) : static_cast<uint32_t>(rng()));
  }
  return data;
}

TEST(CallTranslationFilter, UndoingGivesTheInputBack) {
  for (size_t size : {0u, 5u, 10u, 11u, 16u, 32768u, 32778u, 70000u}) {
    for (uint32_t callTranslationSize : {1u, 1000u, 40000u, 12000000u, 0x7FFFFFFFu}) {
      const std::vector<uint8_t> input = CallHeavy(size, static_cast<uint32_t>(size) ^ callTranslationSize);
      std::vector<uint8_t> translated = input;
      ApplyCallTranslation(translated.data(), translated.size(), callTranslationSize);
      EXPECT_TRUE(UndoChunkByChunk(translated, callTranslationSize) == input)
          << size << " bytes, call translation size " << callTranslationSize;
    }
  }
}

// An 0xE8 at stream position 100 with a call translation size of 900: the operands the decoder
// turns back are the targets inside [0, 900); the others stay as they are.
TEST(CallTranslationFilter, EncodingTurnsTargetsInsideTheSizeAbsolute) {
  struct Case {
    int32_t relative;
    uint32_t stored;
  };
  const Case cases[] = {
      {412, 512},                                   // forward target
      {-100, 0},                                    // the stream's first byte
      {-101, static_cast<uint32_t>(-101)},          // before the stream: untouched
      {799, 899},                                   // the last target below the size
      {836, static_cast<uint32_t>(-64)},            // past the size once added: stored negative
      {900, 900},                                   // the size itself: untouched
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> data(140, 0x90);
    data[100] = kCallOpcode;
    WriteU32LE(&data[101], static_cast<uint32_t>(c.relative));
    ApplyCallTranslation(data.data(), data.size(), 900);
    EXPECT_EQ(ReadU32LE(&data[101]), c.stored) << "relative " << c.relative;
  }
}

TEST(CallTranslationFilter, SizeZeroLeavesTheInputAlone) {
  const std::vector<uint8_t> input = CallHeavy(40000, 7);
  std::vector<uint8_t> data = input;
  ApplyCallTranslation(data.data(), data.size(), 0);
  EXPECT_TRUE(data == input);
}

}  // namespace
}  // namespace vykcn::lzx::test
