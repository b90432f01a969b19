#pragma once
// Choosing blocks by their encoded size: a block's codes and type, and whether a parse unit joins
// the open block or starts a new one.
#include <cstdint>

#include "lzx/encoder/items.h"
#include "lzx/encoder/tree_writer.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

struct BlockPlan {
  int type = kBlockVerbatim;
  unsigned mainSymbols = 0;
  uint8_t main[kMaxMainSymbols] = {};
  uint8_t length[kNumLengthSymbols] = {};
  uint8_t aligned[kNumAlignedSymbols] = {};
  uint64_t bits = 0;  // estimated size of the block, header included
};

// Builds the codes for `freq` and picks the smallest of verbatim, aligned-offset and (when
// allowed) uncompressed. `keepE8Literal` gives the literal 0xE8 a code even when unused, so
// that decoders that start call translation only once 0xE8 has a code agree with ours.
BlockPlan PlanBlock(const SymbolFrequencies& freq, const PreviousTrees& previous, uint32_t blockSize,
                    bool allowUncompressed, bool keepE8Literal);

// Whether a unit of `unitSize` bytes joins the open block of `blockSize` bytes: one block for
// both is estimated no larger than the open block on its own followed by one for the unit.
bool JoiningIsCheaper(const SymbolFrequencies& blockFreq, uint32_t blockSize, const SymbolFrequencies& unitFreq,
                      uint32_t unitSize, const PreviousTrees& previous);

}  // namespace vykcn::lzx
