// The public operations (decompress.h): a context's creation, reset and destruction, and
// Decompress, which walks a call's chunks (chunk_framing.h) and each chunk's blocks, reading every
// block header (block_header.h) and handing the block's spans to one of two outputs: straight into
// the destination (direct_output.h), or into the window (window_output.h). Both outputs read items
// by the one set of item rules (item_rules.h).
#include "lzx/decoder/decompress.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "lzx/decoder/block_header.h"
#include "lzx/decoder/chunk_framing.h"
#include "lzx/decoder/decompression_context.h"
#include "lzx/decoder/fast_loop.h"
#include "lzx/decoder/item_table.h"
#include "platform/decoder_memory.h"

namespace vykcn::lzx {

namespace {

// The context, the window, its mirror and slack, and reservations decoding never touches (32 KiB;
// 38922 bytes more for ContinuousStream, else 32 KiB more for ExtraReservation).
size_t ComputeContextSize(uint32_t windowSize, uint32_t flags) {
  const size_t reserved = 32768 + ((flags & ContinuousStream) ? 38922 : (flags & ExtraReservation) ? 32768 : 0);
  return sizeof(DecompressionContext) + windowSize + kWindowMirrorSize + kWindowSlackSize + reserved;
}

// Puts the decoder at the start of a stream, and ends direct output; the window and the decode
// tables stay as they are, but for the trees' lengths, which the first trees are sent against.
void ResetDecoder(LzxDecoder& d) {
  std::memset(d.tables.main.lengths, 0, MainSymbolsForSlots(d.block.positionSlots));
  std::memset(d.tables.length.lengths, 0, kNumLengthSymbols);
  d.bits.inputOverrun = 0;
  d.block.headerPending = 1;
  d.block.translationSize = 0;
  d.block.state = kBlockStateHeader;
  d.block.type = d.block.remaining = 0;
  d.block.repeated = {1, 1, 1};
  d.window.position = 0;
  d.window.filled = d.window.translationOffset = d.window.chunkCount = 0;
  d.direct.active = 0;
}

// The chunk's `want` bytes through `out`, block by block: Raw(d, n) for n bytes of an uncompressed
// block, Compressed(d, n, aligned) for a verbatim or aligned one. False when the chunk fails.
template <typename Output>
bool WalkBlocks(LzxDecoder& d, uint32_t want, Output& out) {
  BlockState& block = d.block;
  while (want > 0) {
    if (block.state == kBlockStateHeader) {
      if (!ReadBlockHeader(d.bits, block, d.tables)) return false;
      // Direct output's fast loop takes whole items from a table of the block's trees.
      if (d.direct.active && block.type != kBlockUncompressed) {
        BuildItemTable(d.direct.items, d.tables, block.type == kBlockAligned);
      }
    }
    while (block.remaining > 0 && want > 0) {
      const uint32_t n = std::min(static_cast<uint32_t>(block.remaining), want);
      const bool ok = block.type == kBlockUncompressed ? out.Raw(d, n)
                      : block.type == kBlockVerbatim || block.type == kBlockAligned
                          ? out.Compressed(d, n, block.type == kBlockAligned)
                          : false;
      if (!ok) return false;
      block.remaining -= static_cast<int32_t>(n);
      want -= n;
    }
    if (block.remaining == 0) block.state = kBlockStateHeader;
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
    BeginChunk(d.bits, chunk.data, chunk.compressedSize);
    uint8_t* const out = destination + *total;
    const auto decode = [&d, size](auto output) {
      PrimeChunkBits(d.bits, d.block);
      return WalkBlocks(d, size, output) && output.Finish(d, size);
    };
    // A failed chunk can leave the window's position anywhere; a chunk that would then run past the
    // window's end fails instead of writing beyond the mirror.
    const bool fits = d.window.position >= 0 && static_cast<uint64_t>(d.window.position) + size <= d.window.size;
    const bool ok = fits && (d.direct.active ? decode(DirectOutput{out}) : decode(WindowOutput{out}));
    ++d.window.chunkCount;
    if (!ok && d.direct.active) return false;
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
  // Default-initialised, not value-initialised (no parentheses): every field takes its initialiser,
  // while the trees' tables and the item table, arrays without one, stay as the heap gives them (no
  // lookup reads them before a block header builds them), as does the window (its `filled` makes
  // the bytes a stream has not written read as zeros). A context is made for every stream, and for
  // raw data clearing them would cost more than the stream itself. The mirror and slack are
  // cleared, since word copies may read (and write back) them.
  auto* created = new (block) DecompressionContext;
  std::memset(reinterpret_cast<uint8_t*>(created + 1) + windowSize, 0, kWindowMirrorSize + kWindowSlackSize);
  created->signature = kContextSignature;
  created->codecType = kCodecTypeLzx;
  created->contextFlags = flags;
  LzxDecoder& decoder = created->decoder;
  std::memcpy(decoder.tables.extraBits, kExtraBits.data(), sizeof(decoder.tables.extraBits));
  std::memcpy(decoder.tables.positionBase, kPositionBase.data(), sizeof(decoder.tables.positionBase));
  decoder.block.positionSlots = static_cast<uint8_t>(PositionSlotsForWindow(windowSize));
  decoder.window.bytes = reinterpret_cast<uint8_t*>(created + 1);
  decoder.window.size = windowSize;
  decoder.window.mask = windowSize - 1;
  decoder.direct.fastLoops = &ChooseFastLoops(false);
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
  d.bits.sourceBegin = source;
  d.bits.sourceEnd = source + sourceSize;
  size_t total;
  DecompressStatus status;
  while (!DecodeChunks(d, source, sourceSize, destination, capacity, &total, &status)) ResetDecoder(d);
  EndDirectOutput(d, destination + total);
  *destinationSize = total;
  return status;
}

}  // namespace vykcn::lzx
