#pragma once
// One fuzz input decoded by the current decoder and by the frozen reference decoder
// (reference/reference_decoder.h), which must agree on every call: the same status, the same
// produced size and the same produced bytes.
//
// The input layout is decompress_fuzz_input.h's (ReadFuzzOptions), the framed source after it.
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
#include "lzx/decoder/decoder_testing.h"
#include "reference/reference_decoder.h"

namespace vykcn::fuzz {

// Returns false when the decoders disagree (or only one of them could create its context).
inline bool RunDifferentialInput(const uint8_t* data, size_t size) {
  if (size < kOptionBytes) return true;
  const FuzzOptions options = ReadFuzzOptions(data);
  const size_t capacity = options.capacity;
  const bool continuous = (options.flags & lzx::ContinuousStream) != 0;

  const lzx::CodecParameters parameters{0, options.windowSize, 0};
  lzx::DecompressionContext* current = nullptr;
  const bool created = lzx::CreateDecompressionContext(0, &parameters, options.flags, &current) == lzx::kStatusOk;
  void* const reference = reference_lzx::Create(options.windowSize, options.flags);
  if (created != (reference != nullptr)) return false;
  if (!created) return true;
  if (options.baselineFastLoop) lzx::UseBaselineFastLoop(current);
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
  for (int call = 0; same && call < (options.decodeTwice ? 2 : 1); ++call) {
    if (!continuous) {
      lzx::FillWindow(current, 0xA5);
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
