// The public operations: a context's creation, reset and destruction, and Decompress, which walks
// a call's chunks (chunk_framing.h) and each chunk's blocks, handing every block's spans to one of
// two outputs: straight into the destination (direct_output.h), or into the window
// (window_output.h). Both run the one walk below, the one header reader (block_header.h) and the
// one set of item rules (item_decoder.h).
#include "lzx/decoder/decompress.h"

#include <algorithm>
#include <cstring>

#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/block_header.h"
#include "lzx/decoder/chunk_framing.h"
#include "lzx/decoder/decoder_state.h"
#include "lzx/decoder/direct_output.h"
#include "lzx/decoder/fast_loop.h"
#include "lzx/decoder/window_output.h"
#include "platform/decoder_memory.h"

namespace vykcn::lzx {

namespace {

// The context, the window, its mirror and slack, and reservations decoding never touches (32 KiB;
// 38922 bytes more for ContinuousStream, else 32 KiB more for ExtraReservation).
size_t ComputeContextSize(uint32_t windowSize, uint32_t flags) {
  const size_t reserved = 32768 + ((flags & ContinuousStream) ? 38922 : (flags & ExtraReservation) ? 32768 : 0);
  return sizeof(DecompressionContext) + windowSize + kWindowMirrorSize + kWindowSlackSize + reserved;
}

void InitSlotTables(LzxDecoder& decoder) {
  std::memcpy(decoder.extraBits, kExtraBits.data(), sizeof(decoder.extraBits));
  std::memcpy(decoder.positionBase, kPositionBase.data(), sizeof(decoder.positionBase));
}

// Puts the decoder at the start of a stream, and ends direct output; the window and the decode
// tables stay as they are.
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

// The chunk's `want` bytes through `out`, block by block: Raw(d, n) for n bytes of an uncompressed
// block, Compressed(d, n, aligned) for a verbatim or aligned one. False when the chunk fails.
template <typename Output>
bool WalkBlocks(LzxDecoder& d, uint32_t want, Output& out) {
  while (want > 0) {
    if (d.blockState == kBlockStateHeader && !ReadBlockHeader(d)) return false;
    while (d.blockRemaining > 0 && want > 0) {
      const uint32_t n = std::min(static_cast<uint32_t>(d.blockRemaining), want);
      const bool ok = d.blockType == kBlockUncompressed ? out.Raw(d, n)
                      : d.blockType == kBlockVerbatim || d.blockType == kBlockAligned
                          ? out.Compressed(d, n, d.blockType == kBlockAligned)
                          : false;
      if (!ok) return false;
      d.blockRemaining -= static_cast<int32_t>(n);
      want -= n;
    }
    if (d.blockRemaining == 0) d.blockState = kBlockStateHeader;
  }
  return true;
}

// The call's chunks, straight to the destination while its direct output lasts, else in the window;
// a chunk that fails yields no bytes. False when one fails in direct output: the walk stops there.
bool DecodeChunks(LzxDecoder& d, const uint8_t* source, size_t sourceSize, uint8_t* destination, size_t capacity,
                  size_t* total, DecompressStatus* status) {
  ChunkWalk walk(source, sourceSize);
  FramedChunk chunk;
  *total = 0;
  *status = kStatusOk;
  for (ChunkWalk::Step step; (step = walk.Next(&chunk)) != ChunkWalk::kEnd;) {
    const uint32_t size = chunk.uncompressedSize;
    if (step == ChunkWalk::kBeyond || size > capacity - *total) {  // or past the capacity
      *status = kStatusFail;
      break;
    }
    d.inputCursor = chunk.data;
    d.inputEnd = chunk.data + chunk.compressedSize + 4;  // the reader may look 4 bytes past the chunk's data
    d.chunkData = chunk.data;
    d.outputCursor = destination + *total;
    const auto decode = [&d, size](auto output) {
      PrimeBitReader(d);
      return WalkBlocks(d, size, output) && output.Finish(d, size);
    };
    // A failed chunk can leave windowPosition anywhere; a chunk that would then run past the
    // window's end fails instead of writing beyond the mirror.
    const bool fits = d.windowPosition >= 0 && static_cast<uint64_t>(d.windowPosition) + size <= d.windowSize;
    const bool ok = fits && (d.directOutput ? decode(DirectOutput{d.outputCursor}) : decode(WindowOutput{}));
    ++d.chunkCount;
    if (!ok && d.directOutput) return false;
    if (ok) *total += size;
  }
  return true;
}

}  // namespace

DecompressStatus CreateDecompressionContext(int32_t codecType, const CodecParameters* parameters, uint32_t flags,
                                            DecompressionContext** context) {
  if (codecType != kCodecTypeDefault && codecType != kCodecTypeLzx) return kStatusFail;
  uint32_t windowSize = parameters != nullptr ? parameters->windowSize : 0;
  if (windowSize == 0) windowSize = kDefaultWindowSize;
  if (!IsValidWindowSize(windowSize)) return kStatusFail;  // the mask, the slot tables, the chunk grid rely on it
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

DecompressStatus Decompress(DecompressionContext* context, uint8_t* destination, size_t* destinationSize,
                            const uint8_t* source, size_t sourceSize) {
  if (context == nullptr || destinationSize == nullptr || context->codecType != kCodecTypeLzx) return kStatusFail;
  const size_t capacity = *destinationSize;
  if (sourceSize == 0) {
    *destinationSize = 0;
    return kStatusOk;
  }
  LzxDecoder& d = context->decoder;
  // A stream that starts afresh here is decoded straight into the destination (direct_output.h)
  // until a chunk fails there. The call then starts again in the window (the reset ends direct
  // output), which gives every chunk before that one the same bytes and the rest what the format
  // makes of them.
  if (!(context->contextFlags & ContinuousStream)) {
    ResetDecoder(d);
    BeginDirectOutput(d, destination, destination + capacity);
  }
  d.sourceBegin = source;
  d.sourceEnd = source + sourceSize;
  size_t total;
  DecompressStatus status;
  while (!DecodeChunks(d, source, sourceSize, destination, capacity, &total, &status)) ResetDecoder(d);
  EndDirectOutput(d, destination + total);
  *destinationSize = total;
  return status;
}

}  // namespace vykcn::lzx
