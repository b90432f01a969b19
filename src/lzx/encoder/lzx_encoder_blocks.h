#pragma once
// Block level of the encoder: choosing a block's codes and type by encoded size, coding the
// trees as differences from the previous trees through the 20-symbol pretree, and writing the
// block header, the trees and the items.
#include <cstdint>
#include <vector>

#include "lzx/encoder/lzx_encoder_bitstream.h"
#include "lzx/encoder/lzx_encoder_format.h"
#include "lzx/encoder/lzx_encoder_items.h"

namespace vykcn::lzx {

// The code lengths the decoder holds from the last verbatim or aligned block (all 0 at first).
struct PreviousTrees {
  uint8_t main[kMainSymbols] = {};
  uint8_t length[kLengthSymbols] = {};
};

struct BlockPlan {
  BlockType type = kVerbatimBlock;
  uint8_t main[kMainSymbols] = {};
  uint8_t length[kLengthSymbols] = {};
  uint8_t aligned[kAlignedSymbols] = {};
  uint64_t bits = 0;  // estimated size of the block, header included
};

// Builds the codes for `freq` and picks the smallest of verbatim, aligned-offset and (when
// allowed) uncompressed. `keep_e8_literal` gives the literal 0xE8 a code even when unused, so
// that decoders that start call translation only once 0xE8 has a code agree with ours.
BlockPlan PlanBlock(const SymbolFrequencies& freq, const PreviousTrees& previous, uint32_t block_size,
                    bool allow_uncompressed, bool keep_e8_literal);

// Estimated size in bits of a compressed block with these frequencies (used to decide whether
// chunks share a block).
uint64_t EstimateBlockBits(const SymbolFrequencies& freq, const PreviousTrees& previous, uint32_t block_size);

// Writes the header and trees of a verbatim or aligned block, and updates `previous`.
void WriteCompressedBlockHeader(ChunkedBitWriter& out, const BlockPlan& plan, uint32_t block_size,
                                PreviousTrees& previous);

// Writes items of a verbatim or aligned block, advancing `queue` and the output position.
class ItemWriter {
 public:
  explicit ItemWriter(const BlockPlan& plan);
  void Write(ChunkedBitWriter& out, const std::vector<LzItem>& items, RepeatQueue& queue) const;

 private:
  const BlockPlan& plan_;
  uint32_t main_codes_[kMainSymbols];
  uint32_t length_codes_[kLengthSymbols];
  uint32_t aligned_codes_[kAlignedSymbols];
};

// Writes the header of an uncompressed block (type, size, padding, R0..R2); the raw bytes follow.
void WriteUncompressedBlockHeader(ChunkedBitWriter& out, uint32_t block_size, const RepeatQueue& queue);

}  // namespace vykcn::lzx
