// The chunk walk and the public Decompress operation.
#include "lzx/decoder/chunk_framing.h"

#include "base/byte_order.h"
#include "lzx/decoder/block_walker.h"
#include "lzx/decoder/decompression_context.h"
#include "lzx/decoder/direct_output.h"

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

// The call's chunks to `destination`, `total` bytes of it produced. False when a chunk fails in
// direct output: the walk stops there.
bool DecodeChunks(LzxDecoder& d, const uint8_t* source, size_t sourceSize, uint8_t* destination, size_t capacity,
                  size_t* total, DecompressStatus* status) {
  ChunkWalk walk(source, sourceSize);
  FramedChunk chunk;
  *total = 0;
  *status = kStatusOk;
  for (ChunkWalk::Step step; (step = walk.Next(&chunk)) != ChunkWalk::kEnd;) {
    // The chunk's output must fit in the destination.
    if (step == ChunkWalk::kBeyond || chunk.uncompressedSize > capacity - *total) {
      *status = kStatusFail;
      break;
    }
    if (DecodeChunk(d, chunk, destination + *total)) {
      *total += chunk.uncompressedSize;
    } else if (d.directOutput) {
      return false;
    }
  }
  return true;
}

}  // namespace

DecompressStatus Decompress(DecompressionContext* context, uint8_t* destination, size_t* destinationSize,
                            const uint8_t* source, size_t sourceSize) {
  if (context == nullptr || destinationSize == nullptr) return kStatusFail;
  if (context->codecType != kCodecTypeLzx) return kStatusFail;
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
  EndDirectOutput(d);
  *destinationSize = total;
  return status;
}

}  // namespace vykcn::lzx
