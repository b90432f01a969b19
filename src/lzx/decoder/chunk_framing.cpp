// The chunk framing around the LZX stream and the public Decompress operation.
//
// Each chunk is a 2-byte header (compressed size C, big-endian; 32768 output bytes) or a 5-byte
// one (0xFF, then output size U and compressed size C, big-endian), followed by C bytes of LZX
// data. A 5-byte header marks the last chunk. A 5-byte trailer follows the last chunk and belongs
// to none. Every chunk but the last yields exactly 32768 bytes, so chunks start on 32768-byte
// boundaries of the window.
#include "base/byte_order.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decoder.h"

namespace vykcn::lzx {

uint32_t DecodeChunk(LzxDecoder& d, uint32_t uncompressedSize, const uint8_t* data, uint32_t compressedSize,
                     uint8_t* destination) {
  d.inputCursor = data;
  d.inputEnd = data + compressedSize + 4;  // the reader may look 4 bytes past the chunk's data
  d.chunkData = data;
  d.outputCursor = destination;
  // A failed chunk can leave windowPosition anywhere; a chunk that would then run past the
  // window's end fails instead of writing beyond the mirror.
  const bool fits = d.windowPosition >= 0 &&
                    static_cast<uint64_t>(d.windowPosition) + uncompressedSize <= d.windowSize;
  int32_t result = -1;
  if (fits) {
    PrimeBitReader(d);
    result = DecodeOutput(d, static_cast<int32_t>(uncompressedSize));
  }
  ++d.chunkCount;
  return result < 0 ? 0 : uncompressedSize;
}

int32_t Decompress(DecompressionContext* context, uint8_t* destination, size_t* destinationSize,
                   const uint8_t* source, size_t sourceSize) {
  if (context == nullptr || destinationSize == nullptr) return kStatusFail;
  if (context->codecType != kCodecTypeLzx) return kStatusFail;
  const size_t capacity = *destinationSize;
  if (sourceSize == 0) {
    *destinationSize = 0;
    return kStatusOk;
  }
  size_t remaining = sourceSize > kStreamTrailerSize ? sourceSize - kStreamTrailerSize : 0;
  LzxDecoder& d = context->decoder;
  // A stream that starts afresh here is decoded straight into the destination (direct_output.cpp).
  if (!(context->contextFlags & ContinuousStream)) {
    ResetDecoder(d);
    BeginDirectOutput(d, destination, destination + capacity);
  }
  d.sourceBegin = source;
  d.sourceEnd = source + sourceSize;

  const uint8_t* p = source;
  size_t total = 0;
  int32_t status = kStatusOk;
  while (remaining != 0) {
    uint32_t uncompressedSize;
    uint32_t compressedSize;
    if (p[0] == kSizedChunkMarker) {
      if (remaining < kSizedChunkHeaderSize) {
        status = kStatusFail;
        break;
      }
      uncompressedSize = ReadU16BE(p + 1);
      compressedSize = ReadU16BE(p + 3);
      remaining -= kSizedChunkHeaderSize;
      if (compressedSize < remaining) remaining = compressedSize;  // the walk ends after this chunk
      p += kSizedChunkHeaderSize;
    } else {
      if (remaining < kStandardChunkHeaderSize) {
        status = kStatusFail;
        break;
      }
      compressedSize = ReadU16BE(p);
      uncompressedSize = kFrameSize;
      remaining -= kStandardChunkHeaderSize;
      p += kStandardChunkHeaderSize;
    }
    // The chunk's data must lie inside the framed area (never in the trailer or past the source),
    // and its output inside the destination.
    if (compressedSize > remaining || uncompressedSize > capacity - total) {
      status = kStatusFail;
      break;
    }
    total += d.directOutput ? DecodeChunkDirect(d, uncompressedSize, p, compressedSize, destination + total)
                            : DecodeChunk(d, uncompressedSize, p, compressedSize, destination + total);
    p += compressedSize;
    remaining -= compressedSize;
  }
  // The pending raw bytes point into this call's source. A continuous stream's next call may read
  // them from the window; any other stream drops them at its reset and reads its window as zeros.
  if (context->contextFlags & ContinuousStream) FlushPendingRaw(d);
  EndDirectOutput(d);
  *destinationSize = total;
  return status;
}

}  // namespace vykcn::lzx
