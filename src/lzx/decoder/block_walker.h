#pragma once
// The one walk over a chunk's blocks (block_walker.cpp): block headers, then spans of each block
// handed to an output, which decodes them either in the window (window_output.h) or straight into
// the destination (direct_output.h). Both run the same walk, header reader and item rules.
#include <cstdint>

#include "lzx/decoder/chunk_framing.h"
#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// Reads a block header (and, first in a stream, the stream header); false when the chunk fails.
bool ReadBlockHeader(LzxDecoder& decoder);

// Whether a chunk of `size` bytes fits the window from windowPosition on. A failed chunk can leave
// windowPosition anywhere; a chunk that would then run past the window's end fails instead of
// writing beyond the mirror.
inline bool ChunkFitsWindow(const LzxDecoder& d, uint32_t size) {
  return d.windowPosition >= 0 && static_cast<uint64_t>(d.windowPosition) + size <= d.windowSize;
}

// The chunk's `want` bytes through `out`, block by block: out.Raw(d, n) for n bytes of an
// uncompressed block, out.Compressed(d, n, aligned) for n of a verbatim or aligned one. False when
// the chunk fails; the block state is then left where it failed.
template <typename Output>
bool WalkBlocks(LzxDecoder& d, uint32_t want, Output& out) {
  while (want > 0) {
    if (d.blockState == kBlockStateHeader && !ReadBlockHeader(d)) return false;
    while (d.blockRemaining > 0 && want > 0) {
      const uint32_t n = static_cast<uint32_t>(d.blockRemaining) < want ? static_cast<uint32_t>(d.blockRemaining) : want;
      bool ok = false;
      if (d.blockType == kBlockUncompressed) {
        ok = out.Raw(d, n);
      } else if (d.blockType == kBlockVerbatim || d.blockType == kBlockAligned) {
        ok = out.Compressed(d, n, d.blockType == kBlockAligned);
      }
      if (!ok) return false;
      d.blockRemaining -= static_cast<int32_t>(n);
      want -= n;
    }
    if (d.blockRemaining == 0) d.blockState = kBlockStateHeader;
  }
  return true;
}

// Decodes one chunk to `destination`: straight there while the call's direct output lasts, else
// in the window. False when the chunk fails (it then yields no bytes).
bool DecodeChunk(LzxDecoder& decoder, const FramedChunk& chunk, uint8_t* destination);

}  // namespace vykcn::lzx
