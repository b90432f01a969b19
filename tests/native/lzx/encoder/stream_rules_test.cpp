// Encoder output read by the test-side stream walker: the rules that keep decoders in agreement
// hold on real streams at both levels, and the walker's own decoding gives back the input.
#include <gtest/gtest.h>

#include <random>

#include "lzx/encoder/compress.h"
#include "module_options.h"
#include "stream_walker.h"
#include "test_inputs.h"

namespace vykcn::lzx::test {
namespace {

TEST(LzxEncoderStreamRules, HoldOnTextCodeRawAndMixedInputs) {
  std::vector<std::pair<std::vector<uint8_t>, uint32_t>> inputs;
  inputs.push_back({TextLike(80000, 41), 0});
  inputs.push_back({CodeLike(60000, 42), 12000000});
  std::vector<uint8_t> mixed = TextLike(40000, 43);
  for (uint32_t seed = 44; seed < 47; ++seed) {
    const auto raw = RandomBytes(11000 + seed, seed);
    mixed.insert(mixed.end(), raw.begin(), raw.end());
    const auto code = CodeLike(17000, seed);
    mixed.insert(mixed.end(), code.begin(), code.end());
  }
  inputs.push_back({mixed, 0});
  inputs.push_back({mixed, 5000000});
  inputs.push_back({RandomBytes(70001, 48), 0});
  inputs.push_back({std::vector<uint8_t>(40000, 'z'), 0});
  // 32-byte records copied from earlier records with a few bytes changed: offsets are multiples
  // of 32, whose low bits an aligned-offset tree codes almost for free.
  std::vector<uint8_t> records = RandomBytes(32 * 64, 49);
  std::mt19937 rng(50);
  while (records.size() < 80000) {
    const size_t from = 32 * (rng() % (records.size() / 32));
    for (int k = 0; k < 32; ++k) records.push_back(records[from + k]);
    records[records.size() - 1 - rng() % 32] = static_cast<uint8_t>(rng());
  }
  inputs.push_back({records, 0});

  for (CompressionLevel level : kLevels) {
    SCOPED_TRACE(LevelName(level));
    int blocks[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < inputs.size(); ++i) {
      const auto& [input, callTranslationSize] = inputs[i];
      const CompressOptions options = ModuleOptions(callTranslationSize, level);
      const WalkResult walk = WalkStream(CompressLzx(input.data(), input.size(), options));
      ASSERT_TRUE(walk.ok) << "input " << i << ": " << walk.error;
      EXPECT_EQ(walk.callTranslationSize, callTranslationSize);
      if (callTranslationSize == 0) {
        EXPECT_TRUE(walk.output == input) << "input " << i;
      } else {
        EXPECT_EQ(walk.output.size(), input.size()) << "input " << i;
      }
      for (int t = 1; t <= 3; ++t) blocks[t] += walk.blocks[t];
    }
    // The inputs above make the encoder use every block type.
    EXPECT_GT(blocks[1], 0) << "no verbatim block";
    EXPECT_GT(blocks[2], 0) << "no aligned-offset block";
    EXPECT_GT(blocks[3], 0) << "no uncompressed block";
  }
}

}  // namespace
}  // namespace vykcn::lzx::test
