#pragma once
// One fuzz input run through Decompress: the shared body of the libFuzzer target and of the test
// that replays the seed corpus.
//
// Input layout: byte 0 = options (bits 0-2: window 32 KiB << n, 7 = default; bit 3: ContinuousStream;
// bit 4: decode twice on one context; bit 5: the fast loop's baseline copy even where the processor
// has BMI2), bytes 1-3 = destination capacity (24-bit little-endian, at most 256 KiB), the rest =
// the framed source.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "lzx/decoder/decoder_testing.h"

namespace vykcn::fuzz {

constexpr size_t kOptionBytes = 4;
constexpr size_t kMaxCapacity = size_t{256} << 10;

// The option bytes at the start of an input (at least kOptionBytes of them).
struct FuzzOptions {
  uint32_t windowSize;  // 0 = the default
  uint32_t flags;       // ContinuousStream or 0
  size_t capacity;
  bool decodeTwice;
  bool baselineFastLoop;
};

inline FuzzOptions ReadFuzzOptions(const uint8_t* data) {
  const unsigned windowIndex = data[0] & 7;
  const size_t capacity = static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8 | static_cast<size_t>(data[3]) << 16;
  return {windowIndex == 7 ? 0u : lzx::kMinWindowSize << windowIndex,
          (data[0] & 8) ? lzx::ContinuousStream : 0u,
          std::min(capacity, kMaxCapacity),
          (data[0] & 16) != 0,
          (data[0] & 32) != 0};
}

// Returns false when an invariant broke: a status other than success or failure, a produced size
// beyond the capacity, or (decoding twice without ContinuousStream) a second call whose result
// differs from the first although the window was scribbled over in between: every stream starts
// afresh, whatever the window held. Out-of-bounds accesses are left to the sanitizers.
inline bool RunDecompressInput(const uint8_t* data, size_t size) {
  if (size < kOptionBytes) return true;
  const FuzzOptions options = ReadFuzzOptions(data);
  const size_t capacity = options.capacity;
  const uint32_t flags = options.flags;
  const lzx::CodecParameters parameters{0, options.windowSize, 0};
  lzx::DecompressionContext* context = nullptr;
  if (lzx::CreateDecompressionContext(0, &parameters, flags, &context) != lzx::kStatusOk) return true;
  if (options.baselineFastLoop) lzx::UseBaselineFastLoop(context);

  // The source in a block of exactly its size, and the destination at the very end of one, so
  // that the sanitizers see any access past either.
  std::unique_ptr<uint8_t[]> source(new uint8_t[size - kOptionBytes + 1]);
  std::memcpy(source.get(), data + kOptionBytes, size - kOptionBytes);
  static uint8_t* const destinationBlock = new uint8_t[kMaxCapacity];
  uint8_t* const destination = destinationBlock + (kMaxCapacity - capacity);
  bool ok = true;
  std::vector<uint8_t> firstOutput;
  int32_t firstStatus = 0;
  for (int call = 0; call < (options.decodeTwice ? 2 : 1); ++call) {
    size_t produced = capacity;
    const int32_t status = lzx::Decompress(context, destination, &produced, source.get(), size - kOptionBytes);
    if (status != lzx::kStatusOk && status != lzx::kStatusFail) ok = false;
    if (produced > capacity) return false;
    if (flags & lzx::ContinuousStream) continue;
    if (call == 0) {
      firstOutput.assign(destination, destination + produced);
      firstStatus = status;
      lzx::FillWindow(context, 0xA5);
    } else if (status != firstStatus || !std::equal(firstOutput.begin(), firstOutput.end(), destination, destination + produced)) {
      ok = false;
    }
  }
  lzx::DestroyDecompressionContext(context);
  return ok;
}

}  // namespace vykcn::fuzz
