// Creation, reset and destruction of a decompression context.
#include "lzx/decoder/decompression_context.h"

#include <cstddef>
#include <cstring>

#include "lzx/decoder/fast_loop.h"
#include "platform/decoder_memory.h"

namespace vykcn::lzx {

namespace {

// The context block: the context, the window, its mirror and slack, and reservations that
// decoding never touches (32 KiB; 38922 bytes more for ContinuousStream, else 32 KiB more for
// ExtraReservation).
size_t ComputeContextSize(uint32_t windowSize, uint32_t flags) {
  const size_t reserved = 32768 + ((flags & ContinuousStream) ? 38922 : (flags & ExtraReservation) ? 32768 : 0);
  return sizeof(DecompressionContext) + windowSize + kWindowMirrorSize + kWindowSlackSize + reserved;
}

void InitSlotTables(LzxDecoder& decoder) {
  std::memcpy(decoder.extraBits, kExtraBits.data(), sizeof(decoder.extraBits));
  std::memcpy(decoder.positionBase, kPositionBase.data(), sizeof(decoder.positionBase));
}

}  // namespace

void ResetDecoder(LzxDecoder& decoder) {
  const unsigned mainSymbols = MainSymbolsForSlots(decoder.positionSlots);
  std::memset(decoder.mainLengths, 0, mainSymbols);
  std::memset(decoder.previousMainLengths, 0, mainSymbols);
  std::memset(decoder.lengthLengths, 0, kNumLengthSymbols);
  std::memset(decoder.previousLengthLengths, 0, kNumLengthSymbols);
  decoder.repeatedOffsets[0] = decoder.repeatedOffsets[1] = decoder.repeatedOffsets[2] = 1;
  decoder.blockState = kBlockStateHeader;
  decoder.blockType = decoder.blockRemaining = decoder.windowPosition = 0;
  decoder.windowFilled = decoder.translationSize = decoder.translationOffset = decoder.chunkCount = 0;
  decoder.headerPending = 1;
  decoder.inputOverrun = decoder.directOutput = 0;
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
  // Neither the window (windowFilled makes the bytes a stream has not written read as zeros) nor the
  // decode tables (no lookup reads them before a block header builds them) are cleared: a context is
  // made for every stream, and for raw data that would cost more than the stream itself. The mirror
  // and slack are, since word copies may read (and write back) them.
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
