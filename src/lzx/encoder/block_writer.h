#pragma once
// Writing the bit stream: the stream header, block headers and the items of compressed blocks.
#include <cstdint>
#include <vector>

#include "lzx/encoder/bit_writer.h"
#include "lzx/encoder/block_policy.h"
#include "lzx/encoder/items.h"
#include "lzx/encoder/tree_writer.h"

namespace vykcn::lzx {

// The stream's first bits: whether call translation is on, and then its size.
void WriteStreamHeader(ChunkedBitWriter& out, uint32_t callTranslationSize);

// Writes a block's type and size, then for a verbatim or aligned block its trees (which become
// `previous`), and for an uncompressed block the padding and `queue`, after which its raw bytes
// follow.
void WriteBlockHeader(ChunkedBitWriter& out, const BlockPlan& plan, uint32_t blockSize, const RepeatQueue& queue,
                      PreviousTrees& previous);

// Writes items of a verbatim or aligned block, advancing `queue` and the output position.
class ItemWriter {
 public:
  explicit ItemWriter(const BlockPlan& plan);
  void Write(ChunkedBitWriter& out, const std::vector<LzItem>& items, RepeatQueue& queue) const;

 private:
  const BlockPlan& plan_;
  uint32_t mainCodes_[kMaxMainSymbols];
  uint32_t lengthCodes_[kNumLengthSymbols];
  uint32_t alignedCodes_[kNumAlignedSymbols];
};

}  // namespace vykcn::lzx
