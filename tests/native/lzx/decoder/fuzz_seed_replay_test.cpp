// Replays the fuzz target's seed corpus (fuzz/corpus) in the normal test run. The seeds are valid
// streams from the encoder, so besides the fuzz target's invariants each must decode to exactly
// the capacity its options give.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/decompress_fuzz_input.h"
#include "fuzz/regression_expectations.h"
#include "lzx/decoder/decoder_testing.h"
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

// Inputs the fuzz targets found interesting (fuzz/regressions), mostly corrupt streams: each keeps
// the fuzz target's invariants, and every call gives what the frozen reference decoder gave
// (expected.txt, written by the fuzz build's reference_expectations).
TEST(FuzzRegressions, EveryInputKeepsTheInvariantsAndDecodesAsTheReference) {
  const fs::path folder = fs::path(VYKCN_SOURCE_ROOT) / "fuzz" / "regressions";
  std::ifstream expectedFile(folder / "expected.txt");
  std::vector<std::string> expected;
  for (std::string line; std::getline(expectedFile, line);) {
    if (!line.empty()) expected.push_back(line);
  }
  std::vector<std::string> actual;
  size_t inputs = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename() == "expected.txt") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(fuzz::RunDecompressInput(input.data(), input.size())) << entry.path();
    fuzz::CallPlan plan;
    if (!fuzz::ReadCallPlan(input.data(), input.size(), &plan)) continue;
    const CodecParameters parameters{0, plan.windowSize, 0};
    DecompressionContext* context = nullptr;
    if (CreateDecompressionContext(0, &parameters, plan.continuous ? ContinuousStream : 0, &context) != kStatusOk) {
      continue;
    }
    if (plan.baseline) UseBaselineFastLoop(context);
    for (int call = 0; call < plan.calls; ++call) {
      std::vector<uint8_t> out(plan.capacity + 1, 0xE8);
      size_t produced = plan.capacity;
      const int32_t status = Decompress(context, out.data(), &produced, input.data() + 4, input.size() - 4);
      actual.push_back(fuzz::ExpectationLine(entry.path().filename().string(), call, status, out.data(), produced));
    }
    DestroyDecompressionContext(context);
    ++inputs;
  }
  std::sort(expected.begin(), expected.end());
  std::sort(actual.begin(), actual.end());
  EXPECT_EQ(actual, expected);
  EXPECT_GE(inputs, 3u);
}

}  // namespace
}  // namespace vykcn::lzx::test
