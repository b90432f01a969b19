#pragma once
// Block headers and their trees (block_header.cpp), read with the checked reader.
#include <cstdint>

#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// Reads a block header (and, first in a stream, the stream header) with its trees and their
// decode tables; false when the chunk fails. Sets the block inside on success.
bool ReadBlockHeader(LzxDecoder& decoder);
// `count` code lengths sent as differences from `previous` through a pretree, into `current`.
bool ReadCodeLengths(LzxDecoder& decoder, unsigned count, const uint8_t* previous, uint8_t* current);
// The aligned-offset tree: eight 3-bit lengths, and its tables.
bool ReadAlignedTree(LzxDecoder& decoder);

}  // namespace vykcn::lzx
