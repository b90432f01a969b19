// The one match copy against the format's meaning: a match repeats the stream's bytes `distance`
// back as a forward byte copy does, and bytes before the stream's start read as zeros. The window
// keeps the stream's last W bytes at their positions mod W; the copies must give the stream's bytes
// whichever way they reach them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx::test {
namespace {

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> bytes(n);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
  return bytes;
}

// The stream after a match at its end: zeros where it reaches before the start.
std::vector<uint8_t> WithMatch(std::vector<uint8_t> stream, uint32_t distance, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) stream.push_back(stream.size() >= distance ? stream[stream.size() - distance] : 0);
  return stream;
}

// Every distance class and lengths around the step sizes, behind the write position: the exact
// copy changes nothing past the match, the overrun copy nothing more than 31 bytes past it.
TEST(MatchCopy, BehindTheWritePositionAsAForwardByteCopy) {
  for (const uint32_t distance : {1u, 2u, 3u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u, 300u}) {
    for (const uint32_t length : {2u, 3u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u, 100u, 257u}) {
      const std::vector<uint8_t> before = RandomBytes(1024, distance * 1000 + length);
      const size_t pos = 400;
      const std::vector<uint8_t> stream = WithMatch(std::vector<uint8_t>(before.begin(), before.begin() + pos), distance, length);
      for (const bool overrun : {false, true}) {
        std::vector<uint8_t> buffer = before;
        overrun ? CopyMatch<true>(buffer.data() + pos, distance, length) : CopyMatch<false>(buffer.data() + pos, distance, length);
        const std::string what = std::to_string(distance) + "/" + std::to_string(length) + (overrun ? " overrun" : "");
        ASSERT_TRUE(std::equal(stream.begin(), stream.end(), buffer.begin())) << what;
        const size_t untouched = pos + length + (overrun ? kMatchOverrun - 1 : 0);
        ASSERT_TRUE(std::equal(buffer.begin() + untouched, buffer.end(), before.begin() + untouched)) << what;
      }
    }
  }
}

// Sources reaching before what the stream has written: straight in the destination (zeros before
// the start), and in a window of 64 bytes after L stream bytes, with every source byte masked (the
// window's first positions) or running on into the mirror of its first bytes.
TEST(MatchCopy, CarefullyFromBytesTheStreamHasOrHasNotWritten) {
  constexpr uint32_t kWindow = 64;
  for (const size_t written : {0u, 5u, 40u, 64u, 100u, 130u}) {
    const std::vector<uint8_t> history = RandomBytes(written, static_cast<uint32_t>(written) + 1);
    for (const uint32_t distance : {1u, 3u, 8u, 20u, 63u, 64u}) {
      const size_t pos = written % kWindow;
      for (const uint32_t length : {2u, 9u, 33u}) {
        if (pos + length > kWindow) continue;
        const std::vector<uint8_t> stream = WithMatch(history, distance, length);
        const std::string what = std::to_string(written) + " written, " + std::to_string(distance) + "/" + std::to_string(length);

        std::vector<uint8_t> direct = history;
        direct.resize(written + length, 0xEE);
        CopyMatchCarefully(direct.data(), written, distance, length, 0, SIZE_MAX, 0);
        EXPECT_EQ(direct, stream) << what;

        // The window: each position holds the last stream byte that fell on it, junk where none
        // did; then the mirror of positions 0..pos-1 (this pass's) and junk after it.
        std::vector<uint8_t> window(2 * kWindow, 0xEE);
        for (size_t i = 0; i < written; ++i) window[i % kWindow] = history[i];
        for (size_t i = 0; i < pos; ++i) window[kWindow + i] = window[i];
        const size_t filled = written < kWindow ? written : kWindow;
        for (const bool masked : {true, false}) {
          // Only a source ahead of the write position runs on, and (a match being at most 257 bytes
          // long) never past this pass's bytes in the mirror.
          if (!masked && (distance <= pos || length > distance)) continue;
          std::vector<uint8_t> copy = window;
          CopyMatchCarefully(copy.data(), pos, distance, length, kWindow, masked ? kWindow - 1 : SIZE_MAX, filled);
          EXPECT_TRUE(std::equal(copy.begin() + pos, copy.begin() + pos + length, stream.begin() + written))
              << what << (masked ? " masked" : " through the mirror");
        }
      }
    }
  }
}

}  // namespace
}  // namespace vykcn::lzx::test
