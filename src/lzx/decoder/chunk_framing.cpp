// The chunk walk, the chunk driver and the public Decompress operation.
#include "lzx/decoder/chunk_framing.h"

#include "base/byte_order.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/block_walker.h"
#include "lzx/decoder/decompression_context.h"
#include "lzx/decoder/direct_output.h"
#include "lzx/decoder/window_output.h"

namespace vykcn::lzx {

ChunkWalk::ChunkWalk(const uint8_t* source, size_t sourceSize)
    : next_(source), remaining_(sourceSize > kStreamTrailerSize ? sourceSize - kStreamTrailerSize : 0) {}

ChunkWalk::Step ChunkWalk::Next(FramedChunk* chunk) {
  if (remaining_ == 0) return kEnd;
  const bool sized = next_[0] == kSizedChunkMarker;
  const size_t header = sized ? kSizedChunkHeaderSize : kStandardChunkHeaderSize;
  if (remaining_ < header) return kBeyond;
  chunk->uncompressedSize = sized ? ReadU16BE(next_ + 1) : kFrameSize;
  chunk->compressedSize = ReadU16BE(next_ + header - 2);
  next_ += header;
  remaining_ -= header;
  if (sized && chunk->compressedSize < remaining_) remaining_ = chunk->compressedSize;  // the walk ends after it
  if (chunk->compressedSize > remaining_) return kBeyond;
  chunk->data = next_;
  next_ += chunk->compressedSize;
  remaining_ -= chunk->compressedSize;
  return kChunk;
}

namespace {

// The call's chunks, each straight to the destination while the call's direct output lasts, else
// in the window; a chunk that fails yields no bytes. False when one fails in direct output: the
// walk stops there.
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
    if (ok) {
      *total += size;
    } else if (d.directOutput) {
      return false;
    }
  }
  return true;
}

}  // namespace

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
