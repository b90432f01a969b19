#pragma once
// The LZX decoder's state, one part per job, each defined with the code that uses it. Only the
// outputs (layer 4), the fast loop and decompress.cpp see the whole; the layers below work on their
// own parts (scripts/check-layout.sh names the layers).
#include "lzx/decoder/bit_stream.h"
#include "lzx/decoder/block_header.h"
#include "lzx/decoder/decode_tables.h"
#include "lzx/decoder/direct_output.h"
#include "lzx/decoder/window_output.h"

namespace vykcn::lzx {

struct LzxDecoder {
  BitStream bits;       // the current chunk's input, as the checked reader leaves it
  BlockState block;     // what the stream and block headers set, and R0..R2
  WindowState window;   // the window and the stream's position in it
  DirectState direct;   // direct output's cursors, fast loop and item table
  DecodeTables tables;  // the footer tables and the trees
};

}  // namespace vykcn::lzx
