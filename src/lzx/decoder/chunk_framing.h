#pragma once
// The chunk framing around the LZX stream: each chunk is a 2-byte header (compressed size C,
// big-endian; 32768 output bytes) or a 5-byte one (0xFF, then output size U and C, big-endian),
// followed by C bytes of LZX data. A 5-byte header marks the last chunk, and a 5-byte trailer that
// belongs to no chunk follows it.
#include <cstddef>
#include <cstdint>

#include "base/byte_order.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

struct FramedChunk {
  const uint8_t* data;
  uint32_t compressedSize;    // C
  uint32_t uncompressedSize;  // U
};

// The one walk over a framed stream's chunk headers: Decompress's, and the output bound's of a
// reader that allocates before it decodes (formats/translation_resource.h).
class ChunkWalk {
 public:
  enum Step {
    kChunk,   // the next chunk, its data inside the framed area
    kEnd,     // the walk is complete
    kBeyond,  // a header or its data would reach past the framed area (into the trailer or beyond)
  };
  ChunkWalk(const uint8_t* source, size_t sourceSize)
      : next_(source), remaining_(sourceSize > kStreamTrailerSize ? sourceSize - kStreamTrailerSize : 0) {}

  Step Next(FramedChunk* chunk) {
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

 private:
  const uint8_t* next_;
  size_t remaining_;  // framed bytes left; the walk ends when none are
};

}  // namespace vykcn::lzx
