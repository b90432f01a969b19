#pragma once
// Reading a block header's trees and building their decode tables (tree_reader.cpp).
#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// `count` code lengths sent as differences from `previous` through a pretree, into `current`.
bool ReadCodeLengths(LzxDecoder& decoder, unsigned count, const uint8_t* previous, uint8_t* current);
// The main and length trees of a verbatim or aligned block, and their tables (with the item table
// while chunks go to the destination).
bool ReadTrees(LzxDecoder& decoder);
// The aligned-offset tree: eight 3-bit lengths, and its tables.
bool ReadAlignedTree(LzxDecoder& decoder);

}  // namespace vykcn::lzx
