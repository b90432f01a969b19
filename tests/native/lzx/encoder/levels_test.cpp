// The best level writes the very streams the encoder wrote before it had levels: releases built
// from the same translations stay byte for byte the same. Sizes and FNV-1a hashes were taken from
// that encoder.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lzx/encoder/compress.h"
#include "test_inputs.h"

namespace vykcn::lzx::test {
namespace {

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t hash = 1469598103934665603u;
  for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211u;
  return hash;
}

std::vector<uint8_t> Concatenated(std::initializer_list<std::vector<uint8_t>> pieces) {
  std::vector<uint8_t> out;
  for (const auto& piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
  return out;
}

TEST(LzxEncoderLevels, BestLevelStreamsAreThoseOfTheEncoderBeforeLevels) {
  struct Case {
    const char* name;
    std::vector<uint8_t> input;
    uint32_t callTranslationSize;
    uint32_t windowSize;
    size_t size;
    uint64_t hash;
  };
  const Case cases[] = {
      {"text", TextLike(150000, 71), 0, 262144, 36112, 0x9fcb46922709af5bu},
      {"code, call translation on", CodeLike(100000, 72), 12000000, 262144, 28138, 0xe5b74883ac208833u},
      {"text, random, code; 32 KiB window",
       Concatenated({TextLike(40000, 73), RandomBytes(40000, 74), CodeLike(40000, 75)}), 0, 32768, 69122,
       0x2241074f19259da3u},
  };
  for (const Case& c : cases) {
    CompressOptions options;
    options.windowSize = c.windowSize;
    options.callTranslationSize = c.callTranslationSize;
    options.level = CompressionLevel::kBest;
    const std::vector<uint8_t> stream = CompressLzx(c.input.data(), c.input.size(), options);
    EXPECT_EQ(stream.size(), c.size) << c.name;
    EXPECT_EQ(Fnv1a(stream), c.hash) << c.name;
  }
}

}  // namespace
}  // namespace vykcn::lzx::test
