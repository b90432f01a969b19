#pragma once
// The one walk over a chunk's blocks: block headers, then spans of each block handed to an output,
// which decodes them either in the window (window_output.h) or straight into the destination
// (direct_output.h). Both outputs run this walk, the same header reader and the same item rules.
#include <cstdint>

#include "lzx/decoder/block_header.h"
#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// The chunk's `want` bytes through `out`, block by block: out.Raw(d, n) for n bytes of an
// uncompressed block, out.Compressed(d, n, aligned) for n of a verbatim or aligned one. False when
// the chunk fails; the block state is then left where it failed.
template <typename Output>
bool WalkBlocks(LzxDecoder& d, uint32_t want, Output& out) {
  while (want > 0) {
    if (d.blockState == kBlockStateHeader && !ReadBlockHeader(d)) return false;
    while (d.blockRemaining > 0 && want > 0) {
      const uint32_t n = static_cast<uint32_t>(d.blockRemaining) < want ? static_cast<uint32_t>(d.blockRemaining) : want;
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

}  // namespace vykcn::lzx
