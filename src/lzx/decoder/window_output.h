#pragma once
// The window decoder's output (window_output.cpp): each chunk decoded at windowPosition in the
// window and copied to outputCursor, with call translation undone on the copy. It runs continuous
// streams, and calls in which a chunk failed in direct output.
#include <cstdint>

#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// An output for the block walk (WalkBlocks, decompress.cpp): one chunk, in the window from
// windowPosition on.
struct WindowOutput {
  bool Raw(LzxDecoder& d, uint32_t n);
  bool Compressed(LzxDecoder& d, uint32_t n, bool aligned);
  // After the walk: copies the chunk's `produced` bytes to outputCursor; false when it fails.
  bool Finish(LzxDecoder& d, uint32_t produced);
};

// Copies a chunk's `count` bytes from `source` to outputCursor and undoes call translation there
// at translationOffset, which moves on, when it is on and the chunk below the chunk limit.
void EmitChunk(LzxDecoder& decoder, uint32_t count, const uint8_t* source);

}  // namespace vykcn::lzx
