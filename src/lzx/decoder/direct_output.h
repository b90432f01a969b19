#pragma once
// Direct output (direct_output.cpp): a stream that starts afresh at a Decompress call is decoded
// straight into the caller's destination, chunk by chunk, until a chunk fails there.
#include <cstdint>

#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// Starts a call's direct output: `destination` is stream position 0, and the decoder may write up
// to `writeEnd`, the capacity's end.
void BeginDirectOutput(LzxDecoder& decoder, uint8_t* destination, uint8_t* writeEnd);

// An output for the block walk (WalkBlocks, decompress.cpp): one chunk, from `out` on.
struct DirectOutput {
  uint8_t* out;

  bool Raw(LzxDecoder& d, uint32_t n);
  bool Compressed(LzxDecoder& d, uint32_t n, bool aligned);
  // After the walk: the chunk's `produced` bytes end at `out`.
  bool Finish(LzxDecoder& d, uint32_t produced);
};

// Undoes call translation on the chunks still waiting for it, up to `end` (the call's output's).
void EndDirectOutput(LzxDecoder& decoder, uint8_t* end);

}  // namespace vykcn::lzx
