#pragma once
// Direct output (direct_output.cpp): a stream that starts afresh at a Decompress call is decoded
// straight into the caller's destination, chunk by chunk, until a chunk fails there. Its verbatim
// and aligned spans run the fast loop that DirectState names (fast_loop.h), then the careful loop.
#include <cstdint>

#include "lzx/decoder/decode_tables.h"

namespace vykcn::lzx {

struct LzxDecoder;

// Decodes from `out` on, from the decoder's bit stream and repeated offsets, and stores them back;
// stops at `outLimit` or `inLimit`, and returns false when a match would run past the span's end
// (`target`). Its copies for each processor: fast_loop.h.
using FastLoop = bool (*)(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target, const uint8_t* inLimit);
struct FastLoops {
  FastLoop verbatim;
  FastLoop aligned;
};

struct DirectState {
  uint8_t active = 0;                    // 1 while chunks go straight to the destination
  const FastLoops* fastLoops = nullptr;  // the fast loop's copy for this processor
  uint8_t* begin = nullptr;              // stream position 0
  uint8_t* writeEnd = nullptr;           // the decoder may write up to here (the capacity's end)
  uint8_t* translatedEnd = nullptr;      // call translation has been undone before this
  uint8_t* lastChunkBegin = nullptr;     // the last chunk decoded (the only one that may not be 32 KiB)
  // The fast loop's item table (item_table.h), built at every verbatim or aligned block's header
  // while direct output lasts.
  uint32_t items[1 << kMainFastBits];
};

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
