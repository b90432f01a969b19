#include "lzx/encoder/block_writer.h"

#include "lzx/encoder/huffman_codes.h"

namespace vykcn::lzx {

void WriteStreamHeader(ChunkedBitWriter& out, uint32_t callTranslationSize) {
  if (callTranslationSize != 0) {
    out.PutBits(1, 1);
    out.PutBits(callTranslationSize >> 16, 16);
    out.PutBits(callTranslationSize & 0xFFFF, 16);
  } else {
    out.PutBits(0, 1);
  }
}

void WriteBlockHeader(ChunkedBitWriter& out, const BlockPlan& plan, uint32_t blockSize, const RepeatQueue& queue,
                      PreviousTrees& previous) {
  out.PutBits(static_cast<uint32_t>(plan.type), kBlockTypeBits);
  // The 24-bit size as three bytes, high first.
  out.PutBits(blockSize >> 16, 8);
  out.PutBits((blockSize >> 8) & 0xFF, 8);
  out.PutBits(blockSize & 0xFF, 8);
  if (plan.type == kBlockUncompressed) {
    out.PadBeforeRawData();
    for (uint32_t r : queue.r) out.PutU32LE(r);
    return;
  }
  if (plan.type == kBlockAligned) {
    for (unsigned s = 0; s < kNumAlignedSymbols; ++s) out.PutBits(plan.aligned[s], kAlignedLengthBits);
  }
  WriteTrees(out, plan.main, plan.length, previous);
}

ItemWriter::ItemWriter(const BlockPlan& plan) : plan_(plan) {
  BuildCodewords(plan.main, plan.mainSymbols, mainCodes_);
  BuildCodewords(plan.length, kNumLengthSymbols, lengthCodes_);
  BuildCodewords(plan.aligned, kNumAlignedSymbols, alignedCodes_);
}

void ItemWriter::Write(ChunkedBitWriter& out, const std::vector<LzItem>& items, RepeatQueue& queue) const {
  const bool aligned = plan_.type == kBlockAligned;
  for (const LzItem& item : items) {
    const CodedItem coded = CodeItem(item, queue);
    out.PutBits(mainCodes_[coded.mainSymbol], plan_.main[coded.mainSymbol]);
    if (coded.lengthSymbol >= 0) {
      out.PutBits(lengthCodes_[coded.lengthSymbol], plan_.length[coded.lengthSymbol]);
    }
    if (aligned && coded.footerBits >= 3) {
      out.PutBits(coded.footer >> 3, coded.footerBits - 3);
      const uint32_t low = coded.footer & 7;
      out.PutBits(alignedCodes_[low], plan_.aligned[low]);
    } else {
      out.PutBits(coded.footer, coded.footerBits);
    }
    out.AdvanceOutput(item.length);
  }
}

}  // namespace vykcn::lzx
