#pragma once
// LZX compressor for the translation resource: writes the chunk-framed stream that the module's
// decoder reads (32768-byte chunks, see chunk_framing.h). Toolkit-only, but portable. The bit
// stream is flushed to a 16-bit word at every 32768-byte output boundary; blocks may span chunks,
// matches never do.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vykcn::lzx {

// How hard the encoder searches. All levels write streams for the same decoders, with any window
// and call translation; encoder_effort.h says what each one spends.
enum class CompressionLevel {
  kDefault,  // for rebuilds while translating: 2-3 times as fast as kBest, up to 2% larger
  kBest,     // for releases: the smallest streams this encoder writes
  kStore,    // for the test build's reloads: uncompressed blocks, written at the speed of a copy
};

struct CompressOptions {
  // The decoder's window: a power of two from 32 KiB to 2 MiB; 0 selects kDefaultWindowSize, as it
  // does for the decoder. Other values make CompressLzx throw std::invalid_argument.
  uint32_t windowSize = 0;
  // Call translation size written into the stream header; 0 turns call translation off. Below
  // 2^31 (CompressLzx throws std::invalid_argument otherwise).
  uint32_t callTranslationSize = 0;
  CompressionLevel level = CompressionLevel::kDefault;
};

// Compresses `size` bytes into a complete framed stream (chunks and trailer).
std::vector<uint8_t> CompressLzx(const uint8_t* data, size_t size, const CompressOptions& options);

}  // namespace vykcn::lzx
