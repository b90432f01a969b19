#pragma once
// Block headers (block_header.cpp), read with the checked reader: the stream header first in a
// stream, then each block's type and size, and its trees with their decode tables, or for an
// uncompressed block R0..R2. BlockState is what they leave for the block's items and the next
// header.
#include <cstdint>

#include "lzx/decoder/bit_stream.h"
#include "lzx/decoder/decode_tables.h"
#include "lzx/decoder/item_rules.h"

namespace vykcn::lzx {

constexpr int kBlockStateHeader = 1;  // BlockState::state: a block header comes next
constexpr int kBlockStateInside = 2;  // inside a block

struct BlockState {
  uint8_t headerPending = 0;      // 1 until the stream header bit has been read
  uint8_t positionSlots = 0;      // of the window: the main tree has 256 + 8 * positionSlots symbols
  uint32_t translationSize = 0;   // call translation size, from the stream header; 0 = off
  int32_t state = 0;              // kBlockStateHeader or kBlockStateInside
  int32_t type = 0;               // 1 verbatim, 2 aligned, 3 uncompressed, 0 none
  int32_t size = 0;
  int32_t remaining = 0;          // of its size, the bytes not yet decoded
  RepeatedOffsets repeated = {};  // R0..R2, carried over from block to block and chunk to chunk
};

// A chunk's bits start primed, unless the chunk starts inside an uncompressed block: its raw bytes
// run on from the chunk's first byte.
inline void PrimeChunkBits(BitStream& bits, const BlockState& block) {
  if (block.type != kBlockUncompressed) PrimeBits(bits);
}

// Reads a block header (and, first in a stream, the stream header) with its trees and their
// decode tables; false when the chunk fails. Sets the block inside on success.
bool ReadBlockHeader(BitStream& bits, BlockState& block, DecodeTables& tables);
// `count` code lengths sent as differences from `previous` through a pretree, into `current`.
bool ReadCodeLengths(BitStream& bits, unsigned count, const uint8_t* previous, uint8_t* current);
// The aligned-offset tree: eight 3-bit lengths, and its tables.
bool ReadAlignedTree(BitStream& bits, AlignedTree& aligned);

}  // namespace vykcn::lzx
