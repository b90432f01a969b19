#pragma once
// The chunk framing around the LZX stream (chunk_framing.cpp, with the chunk driver and
// Decompress): each chunk is a 2-byte header (compressed size C, big-endian; 32768 output bytes) or
// a 5-byte one (0xFF, then output size U and C, big-endian), followed by C bytes of LZX data. A
// 5-byte header marks the last chunk, and a 5-byte trailer that belongs to no chunk follows it.
#include <cstddef>
#include <cstdint>

namespace vykcn::lzx {

struct FramedChunk {
  const uint8_t* data;
  uint32_t compressedSize;    // C
  uint32_t uncompressedSize;  // U
};

// The walk over a framed stream's chunk headers, as Decompress takes them: the decoder's, and the
// output bound's of a reader that allocates before it decodes (formats/translation_resource.h).
class ChunkWalk {
 public:
  enum Step {
    kChunk,   // the next chunk, its data inside the framed area
    kEnd,     // the walk is complete
    kBeyond,  // a header or its data would reach past the framed area (into the trailer or beyond)
  };
  ChunkWalk(const uint8_t* source, size_t sourceSize);
  Step Next(FramedChunk* chunk);

 private:
  const uint8_t* next_;
  size_t remaining_;  // framed bytes left; the walk ends when none are
};

}  // namespace vykcn::lzx
