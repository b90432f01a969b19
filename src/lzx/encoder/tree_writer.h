#pragma once
// Sending the code lengths of a block's main and length trees. They go out as three segments (256
// literal lengths, the match-symbol lengths, the 249 length-symbol lengths), each with its own
// pretree; every code length is sent as its difference from the previous block's, modulo 17.
#include <cstdint>

#include "lzx/encoder/bit_writer.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

// The code lengths the decoder holds from the last verbatim or aligned block (all 0 at first),
// for a main tree of `mainSymbols` symbols (the window's).
struct PreviousTrees {
  explicit PreviousTrees(unsigned mainSymbolCount) : mainSymbols(mainSymbolCount) {}

  unsigned mainSymbols;
  uint8_t main[kMaxMainSymbols] = {};
  uint8_t length[kNumLengthSymbols] = {};
};

// Bits that sending these main and length code lengths after `previous` takes.
uint64_t TreeBits(const uint8_t* mainLengths, const uint8_t* lengthLengths, const PreviousTrees& previous);

// Sends the main and length code lengths and makes them the previous ones.
void WriteTrees(ChunkedBitWriter& out, const uint8_t* mainLengths, const uint8_t* lengthLengths,
                PreviousTrees& previous);

}  // namespace vykcn::lzx
