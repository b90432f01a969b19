// Replays the fuzz target's seed corpus (fuzz/corpus) in the normal test run. The seeds are valid
// streams from the encoder, so besides the fuzz target's invariants each must decode to exactly
// the capacity its options give.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/decompress_fuzz_input.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx::test {
namespace {

namespace fs = std::filesystem;

TEST(FuzzSeeds, EverySeedKeepsTheInvariantsAndDecodesCompletely) {
  const fs::path corpus = fs::path(VYKCN_SOURCE_ROOT) / "fuzz" / "corpus";
  size_t seeds = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(input.size(), fuzz::kOptionBytes) << entry.path();
    EXPECT_TRUE(fuzz::RunDecompressInput(input.data(), input.size())) << entry.path();

    const size_t capacity = input[1] | input[2] << 8 | input[3] << 16;
    const unsigned windowIndex = input[0] & 7;
    const CodecParameters parameters{0, windowIndex == 7 ? 0u : kMinWindowSize << windowIndex, 0};
    DecompressionContext* context = nullptr;
    ASSERT_EQ(CreateDecompressionContext(0, &parameters, 0, &context), kStatusOk);
    std::vector<uint8_t> out(capacity);
    size_t produced = capacity;
    EXPECT_EQ(Decompress(context, out.data(), &produced, input.data() + 4, input.size() - 4), kStatusOk)
        << entry.path();
    EXPECT_EQ(produced, capacity) << entry.path();
    DestroyDecompressionContext(context);
    ++seeds;
  }
  EXPECT_GE(seeds, 5u);
}

}  // namespace
}  // namespace vykcn::lzx::test
