// Encoder streams decode to the original bytes with both the project's decoder and libmspack,
// on text, code with call translation, incompressible data and the sizes around chunk edges, at
// both compression levels, and, where only the bytes matter, at the store level.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "decoders.h"
#include "lzx/encoder/compress.h"
#include "lzx/lzx_constants.h"
#include "module_options.h"
#include "test_inputs.h"

namespace vykcn::lzx::test {
namespace {

void ExpectBothDecode(const std::vector<uint8_t>& input, const CompressOptions& options = ModuleOptions()) {
  const std::vector<uint8_t> stream = CompressLzx(input.data(), input.size(), options);
  const auto ours = DecodeWithOurDecoder(stream, input.size(), options.windowSize);
  ASSERT_TRUE(ours.has_value()) << "our decoder rejected a stream of " << input.size() << " bytes";
  EXPECT_TRUE(*ours == input) << "our decoder: wrong bytes for " << input.size() << " input bytes";
  const uint32_t window = options.windowSize != 0 ? options.windowSize : kDefaultWindowSize;
  const auto theirs = DecodeWithLibmspack(stream, window);
  ASSERT_TRUE(theirs.has_value()) << "libmspack rejected a stream of " << input.size() << " bytes";
  EXPECT_TRUE(*theirs == input) << "libmspack: wrong bytes for " << input.size() << " input bytes";
}

TEST(LzxEncoderRoundTrip, SizesAroundChunkEdges) {
  const size_t pastWindow = kTranslationWindowSize + 1;
  const std::vector<uint8_t> text = TextLike(pastWindow, 1);
  for (CompressionLevel level : kAllLevels) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{2}, size_t{11}, size_t{32767}, size_t{32768}, size_t{32769},
                        pastWindow}) {
      SCOPED_TRACE(testing::Message() << LevelName(level) << ", " << size << " bytes");
      const std::vector<uint8_t> input(text.begin(), text.begin() + size);
      ExpectBothDecode(input, ModuleOptions(0, level));
      if (level == CompressionLevel::kStore) {  // the bytes as they are, behind a header per chunk and block
        EXPECT_LE(CompressLzx(input.data(), size, ModuleOptions(0, level)).size(), size + size / 1000 + 32);
      }
    }
  }
}

TEST(LzxEncoderRoundTrip, TextCompresses) {
  const std::vector<uint8_t> text = TextLike(100000, 2);
  size_t sizes[2] = {};
  for (size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(LevelName(kLevels[k]));
    sizes[k] = CompressLzx(text.data(), text.size(), ModuleOptions(0, kLevels[k])).size();
    EXPECT_LT(sizes[k], text.size() / 3);
    ExpectBothDecode(text, ModuleOptions(0, kLevels[k]));
  }
  EXPECT_LT(sizes[1], sizes[0]) << "the best level searched no harder than the default";
}

TEST(LzxEncoderRoundTrip, CodeWithCallTranslation) {
  const std::vector<uint8_t> code = CodeLike(80000, 3);
  for (CompressionLevel level : kLevels) {
    SCOPED_TRACE(LevelName(level));
    const CompressOptions options = ModuleOptions(12000000, level);
    ExpectBothDecode(code, options);
    // Call translation makes the repeated call targets repeat as bytes.
    const auto with = CompressLzx(code.data(), code.size(), options);
    const auto without = CompressLzx(code.data(), code.size(), ModuleOptions(0, level));
    EXPECT_LT(with.size(), without.size());
  }
}

TEST(LzxEncoderRoundTrip, CallTranslationEdgesAndSmallSizes) {
  // Calls right at the chunk tails, operands reaching the stream start and the call translation size.
  for (CompressionLevel level : kAllLevels) {
    for (size_t size : {5u, 10u, 11u, 16u, 32768u, 32778u, 70000u}) {
      std::vector<uint8_t> input(size, 0xE8);
      std::mt19937 rng(static_cast<uint32_t>(size));
      for (size_t i = 1; i < size; i += 5 + rng() % 3) input[i] = static_cast<uint8_t>(rng() % 3 == 0 ? 0xFF : rng());
      SCOPED_TRACE(testing::Message() << LevelName(level) << ", " << size << " bytes");
      ExpectBothDecode(input, ModuleOptions(40000, level));
    }
  }
}

TEST(LzxEncoderRoundTrip, IncompressibleStaysWithinATenthOfAPercent) {
  const std::vector<uint8_t> noise = RandomBytes(300001, 4);
  for (CompressionLevel level : kAllLevels) {
    SCOPED_TRACE(LevelName(level));
    const auto stream = CompressLzx(noise.data(), noise.size(), ModuleOptions(0, level));
    EXPECT_LE(stream.size(), noise.size() + noise.size() / 1000);
    ExpectBothDecode(noise, ModuleOptions(0, level));
  }
}

TEST(LzxEncoderRoundTrip, MixedBlocksTypesInOneStream) {
  // Raw chunks between compressed ones, and a raw odd-length tail.
  std::vector<uint8_t> input = TextLike(50000, 5);
  const auto noise = RandomBytes(70000, 6);
  input.insert(input.end(), noise.begin(), noise.end());
  const auto text = TextLike(90000, 7);
  input.insert(input.end(), text.begin(), text.end());
  const auto tail = RandomBytes(33333, 8);
  input.insert(input.end(), tail.begin(), tail.end());
  for (CompressionLevel level : kAllLevels) ExpectBothDecode(input, ModuleOptions(0, level));

  // With call translation blocks switch at quarter chunks, so raw blocks start and end inside
  // chunks too.
  std::vector<uint8_t> code = CodeLike(20000, 12);
  for (uint32_t seed = 13; seed < 17; ++seed) {
    const auto raw = RandomBytes(9000 + seed * 1000, seed);
    code.insert(code.end(), raw.begin(), raw.end());
    const auto more = CodeLike(15000, seed + 100);
    code.insert(code.end(), more.begin(), more.end());
  }
  for (CompressionLevel level : kAllLevels) ExpectBothDecode(code, ModuleOptions(12000000, level));
}

TEST(LzxEncoderRoundTrip, LongRunsAndRepeats) {
  std::vector<uint8_t> zeros(100000, 0);
  std::vector<uint8_t> period(70000);
  for (size_t i = 0; i < period.size(); ++i) period[i] = static_cast<uint8_t>("abcab"[i % 5]);
  // Far repeats: the same random block again 250000 bytes later, near the window's reach.
  std::vector<uint8_t> far = RandomBytes(20000, 9);
  const auto gap = TextLike(230000, 10);
  std::vector<uint8_t> input = far;
  input.insert(input.end(), gap.begin(), gap.end());
  input.insert(input.end(), far.begin(), far.end());
  for (CompressionLevel level : kLevels) {
    SCOPED_TRACE(LevelName(level));
    const CompressOptions options = ModuleOptions(0, level);
    ExpectBothDecode(zeros, options);
    ExpectBothDecode(period, options);
    const auto stream = CompressLzx(input.data(), input.size(), options);
    EXPECT_LT(stream.size(), input.size() - 15000);  // the second copy costs little
    ExpectBothDecode(input, options);
  }
}

TEST(LzxEncoderRoundTrip, RandomisedSizesAndContents) {
  std::mt19937 rng(11);
  for (int round = 0; round < 8; ++round) {
    const size_t size = rng() % (round < 6 ? 100000 : 1000000);
    std::vector<uint8_t> input;
    switch (round % 4) {
      case 0: input = RandomBytes(size, rng()); break;
      case 1: input = TextLike(size, rng()); break;
      case 2: input = CodeLike(size, rng()); break;
      default: {
        // Few symbols, short runs: skewed codes.
        input.resize(size);
        for (auto& b : input) b = static_cast<uint8_t>(rng() % 7 == 0 ? rng() % 4 : 'x');
      }
    }
    const uint32_t callTranslationSize = round % 4 == 2 ? static_cast<uint32_t>(size + rng() % 1000) : 0;
    for (CompressionLevel level : kAllLevels) {
      SCOPED_TRACE(testing::Message() << LevelName(level) << ", round " << round << ", " << size << " bytes");
      ExpectBothDecode(input, ModuleOptions(callTranslationSize, level));
    }
  }
}

TEST(LzxEncoderRoundTrip, ManySmallInputs) {
  // Small inputs reach the degenerate codes: one literal only, no length symbols, no matches,
  // a single repeated offset.
  std::mt19937 rng(31);
  for (int round = 0; round < 150; ++round) {
    const size_t size = rng() % 3000;
    const int alphabet = 1 + static_cast<int>(rng() % 6);
    std::vector<uint8_t> input(size);
    for (size_t i = 0; i < size; ++i) {
      input[i] = round % 3 == 0 ? static_cast<uint8_t>(rng()) : static_cast<uint8_t>('a' + rng() % alphabet);
      if (round % 5 == 0 && i >= 7 && rng() % 4 != 0) input[i] = input[i - 7];
    }
    for (CompressionLevel level : kAllLevels) {
      SCOPED_TRACE(testing::Message() << LevelName(level) << ", round " << round << ", " << size << " bytes");
      ExpectBothDecode(input, ModuleOptions(round % 7 == 0 ? 1000 : 0, level));
    }
  }
}

// The window is the caller's: every size the decoder accepts (0 meaning its default there too),
// each stream with a match from as far back as that window allows.
TEST(LzxEncoderRoundTrip, EveryWindowSizeTheDecoderAccepts) {
  const std::vector<uint8_t> block = RandomBytes(4000, 60);
  std::vector<uint32_t> windows = {0};
  for (uint32_t window = kMinWindowSize; window <= kMaxWindowSize; window *= 2) windows.push_back(window);
  for (CompressionLevel level : kLevels) {
    for (uint32_t window : windows) {
      SCOPED_TRACE(testing::Message() << LevelName(level) << ", window " << window);
      std::vector<uint8_t> input = block;
      input.resize(MaxMatchOffset(window != 0 ? window : kDefaultWindowSize), 0);
      input.insert(input.end(), block.begin(), block.end());
      CompressOptions options = ModuleOptions(0, level);
      options.windowSize = window;
      const auto stream = CompressLzx(input.data(), input.size(), options);
      const auto withoutRepeat = CompressLzx(input.data(), input.size() - block.size(), options);
      EXPECT_LT(stream.size(), withoutRepeat.size() + block.size() / 4) << "the second copy was not matched";
      ExpectBothDecode(input, options);
    }
  }
}

TEST(LzxEncoderRoundTrip, WindowSizesOutsideTheFormatAreRefused) {
  const std::vector<uint8_t> input = TextLike(1000, 61);
  for (CompressionLevel level : kAllLevels) {
    for (uint32_t window : {kMinWindowSize / 2, 3 * kMinWindowSize, 2 * kMaxWindowSize}) {
      CompressOptions options = ModuleOptions(0, level);
      options.windowSize = window;
      EXPECT_THROW(CompressLzx(input.data(), input.size(), options), std::invalid_argument) << window;
    }
  }
}

}  // namespace
}  // namespace vykcn::lzx::test
