#pragma once
// LZX compressor for the translation resource: writes the chunk-framed stream that the module's
// decoder reads (32768-byte chunks, 262144-byte window). Toolkit-only, but portable.
//
// Framing: every chunk but a short last one has a 2-byte big-endian compressed size and carries
// 32768 output bytes; a last chunk shorter than that has the sized header 0xFF, U (2 bytes), C
// (2 bytes). Five zero bytes end the stream. The bit stream is flushed to a 16-bit word at every
// 32768-byte output boundary; blocks may span chunks, matches never do.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vykcn::lzx {

struct CompressOptions {
  // Call-instruction (0xE8) translation size written into the stream header; 0 turns it off.
  // Below 2^31 (CompressLzx throws std::invalid_argument otherwise).
  uint32_t translationSize = 0;
  // Search effort of the match finder and parser; larger is slower and usually smaller.
  int maxSearchDepth = 96;
  int niceMatchLength = 160;
  int optimizationPasses = 2;
};

// Compresses `size` bytes into a complete framed stream (chunks and trailer).
std::vector<uint8_t> CompressLzx(const uint8_t* data, size_t size, const CompressOptions& options = {});

}  // namespace vykcn::lzx
