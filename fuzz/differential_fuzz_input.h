#pragma once
// One fuzz input decoded by the current decoder and by the frozen reference decoder
// (reference/reference_decoder.h), which must agree on every call: the same status, the same
// produced size and the same produced bytes.
//
// The input layout is decompress_fuzz_input.h's: byte 0 = options (bits 0-2: window 32 KiB << n,
// 7 = default; bit 3: ContinuousStream; bit 4: decode twice on one context; bit 5: the fast loop's
// baseline copy), bytes 1-3 = the destination capacity (24-bit little-endian, at most 256 KiB), the
// rest = the framed source.
//
// What may differ is what neither decoder promises: the bytes past the produced size, and the
// window's contents. So the two destinations start with different junk (the current decoder's full
// of 0xE8, which call translation would act on, should it ever read a byte it has not written), and
// before every call that starts a stream afresh the current decoder's window is scribbled over,
// while the reference's is cleared (see reference_lzx::ClearWindow).
#include <cstdint>
#include <cstring>
#include <memory>

#include "decompress_fuzz_input.h"
#include "lzx/decoder/decoder.h"
#include "lzx/decoder/decompress.h"
#include "reference/reference_decoder.h"

namespace vykcn::fuzz {

// Returns false when the decoders disagree (or only one of them could create its context).
inline bool RunDifferentialInput(const uint8_t* data, size_t size) {
  if (size < kOptionBytes) return true;
  const uint8_t options = data[0];
  size_t capacity = static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8 | static_cast<size_t>(data[3]) << 16;
  if (capacity > kMaxCapacity) capacity = kMaxCapacity;
  const unsigned windowIndex = options & 7;
  const uint32_t windowSize = windowIndex == 7 ? 0u : lzx::kMinWindowSize << windowIndex;
  const uint32_t flags = (options & 8) ? lzx::ContinuousStream : 0;
  const bool continuous = (flags & lzx::ContinuousStream) != 0;

  const lzx::CodecParameters parameters{0, windowSize, 0};
  lzx::DecompressionContext* current = nullptr;
  const bool created = lzx::CreateDecompressionContext(0, &parameters, flags, &current) == lzx::kStatusOk;
  void* const reference = reference_lzx::Create(windowSize, flags);
  if (created != (reference != nullptr)) return false;
  if (!created) return true;
  if (options & 32) current->decoder.fastLoopBmi2 = 0;
  reference_lzx::ClearWindow(reference);  // a new block's window: nothing written yet

  // The source in a block of exactly its size, each destination at the very end of its block, so
  // that the sanitizers see any access past them.
  const size_t sourceSize = size - kOptionBytes;
  std::unique_ptr<uint8_t[]> source(new uint8_t[sourceSize + 1]);
  std::memcpy(source.get(), data + kOptionBytes, sourceSize);
  static uint8_t* const currentBlock = new uint8_t[kMaxCapacity];
  static uint8_t* const referenceBlock = new uint8_t[kMaxCapacity];
  uint8_t* const currentOut = currentBlock + (kMaxCapacity - capacity);
  uint8_t* const referenceOut = referenceBlock + (kMaxCapacity - capacity);

  bool same = true;
  for (int call = 0; same && call < ((options & 16) ? 2 : 1); ++call) {
    if (!continuous) {
      lzx::LzxDecoder& d = current->decoder;
      std::memset(d.window, 0xA5, d.windowSize + lzx::kWindowMirrorSize);
      reference_lzx::ClearWindow(reference);
    }
    std::memset(currentOut, 0xE8, capacity);
    std::memset(referenceOut, 0, capacity);
    size_t currentSize = capacity;
    size_t referenceSize = capacity;
    const int32_t currentStatus = lzx::Decompress(current, currentOut, &currentSize, source.get(), sourceSize);
    const int32_t referenceStatus =
        reference_lzx::Decompress(reference, referenceOut, &referenceSize, source.get(), sourceSize);
    same = currentStatus == referenceStatus && currentSize == referenceSize && currentSize <= capacity &&
           std::memcmp(currentOut, referenceOut, currentSize) == 0;
  }
  lzx::DestroyDecompressionContext(current);
  reference_lzx::Destroy(reference);
  return same;
}

}  // namespace vykcn::fuzz
