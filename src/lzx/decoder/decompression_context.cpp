// Creation, reset and destruction of a decompression context.
#include "lzx/decoder/decompression_context.h"

#include <cstddef>
#include <cstring>

#include "lzx/decoder/fast_loop.h"
#include "platform/decoder_memory.h"

namespace vykcn::lzx {

namespace {

// Extra reservations of the context block; decoding never touches them.
constexpr size_t kTrailingReserve = 32768;
constexpr size_t kContinuousReserve = 38922;
constexpr size_t kExtraReserve = 32768;

}  // namespace

size_t ComputeContextSize(uint32_t windowSize, uint32_t flags) {
  size_t size = sizeof(DecompressionContext) + windowSize + kWindowMirrorSize +
                kWindowSlackSize + kTrailingReserve;
  if (flags & ContinuousStream) {
    size += kContinuousReserve;
  } else if (flags & ExtraReservation) {
    size += kExtraReserve;
  }
  return size;
}

void InitSlotTables(LzxDecoder& decoder) {
  std::memcpy(decoder.extraBits, kExtraBits.data(), sizeof(decoder.extraBits));
  std::memcpy(decoder.positionBase, kPositionBase.data(), sizeof(decoder.positionBase));
}

void ResetDecoder(LzxDecoder& decoder) {
  const unsigned mainSymbols = MainSymbolsForSlots(decoder.positionSlots);
  std::memset(decoder.mainLengths, 0, mainSymbols);
  std::memset(decoder.previousMainLengths, 0, mainSymbols);
  std::memset(decoder.lengthLengths, 0, kNumLengthSymbols);
  std::memset(decoder.previousLengthLengths, 0, kNumLengthSymbols);
  decoder.repeatedOffsets[0] = decoder.repeatedOffsets[1] = decoder.repeatedOffsets[2] = 1;
  decoder.blockState = kBlockStateHeader;
  decoder.blockType = 0;
  decoder.blockRemaining = 0;
  decoder.windowPosition = 0;
  decoder.windowFilled = 0;
  decoder.translationSize = 0;
  decoder.headerPending = 1;
  decoder.inputOverrun = 0;
  decoder.translationOffset = 0;
  decoder.chunkCount = 0;
  decoder.directOutput = 0;
}

DecompressStatus CreateDecompressionContext(int32_t codecType, const CodecParameters* parameters, uint32_t flags,
                                            DecompressionContext** context) {
  if (codecType != kCodecTypeDefault && codecType != kCodecTypeLzx) return kStatusFail;
  uint32_t windowSize = parameters != nullptr ? parameters->windowSize : 0;
  if (windowSize == 0) windowSize = kDefaultWindowSize;
  // The mask, the slot tables and the whole-chunk output copy all rely on this.
  if (!IsValidWindowSize(windowSize)) return kStatusFail;

  const size_t size = ComputeContextSize(windowSize, flags);
  void* block = AllocateContextMemory(size);
  if (block == nullptr) return kStatusOutOfMemory;
  // The window itself is not cleared: `windowFilled` makes the bytes a stream has not written read
  // as zeros, so a match reaching before a stream's first byte never sees heap contents. The mirror
  // and slack are cleared, since word copies may read (and write back) them. Nor are the decode
  // tables, which no lookup reads before a block header has built them: a context is made for every
  // stream, and for raw data that clearing would cost more than the stream itself.
  std::memset(block, 0, offsetof(DecompressionContext, decoder) + offsetof(LzxDecoder, mainFast));
  std::memset(static_cast<uint8_t*>(block) + sizeof(DecompressionContext) + windowSize, 0,
              kWindowMirrorSize + kWindowSlackSize);

  auto* created = static_cast<DecompressionContext*>(block);
  created->signature = kContextSignature;
  created->codecType = kCodecTypeLzx;
  created->contextFlags = flags;

  LzxDecoder& decoder = created->decoder;
  InitSlotTables(decoder);
  decoder.windowSize = windowSize;
  decoder.windowMask = windowSize - 1;
  decoder.positionSlots = static_cast<uint8_t>(PositionSlotsForWindow(windowSize));
  decoder.window = reinterpret_cast<uint8_t*>(created + 1);
  decoder.fastLoops = &ChooseFastLoops(false);

  created->parameterFlags = parameters != nullptr ? parameters->flags : 0;
  if (flags & ContinuousStream) ResetDecoder(decoder);
  created->contextFlags |= HeapOwned;
  *context = created;
  return kStatusOk;
}

void DestroyDecompressionContext(DecompressionContext* context) {
  if (context != nullptr && (context->contextFlags & HeapOwned)) FreeContextMemory(context);
}

}  // namespace vykcn::lzx
