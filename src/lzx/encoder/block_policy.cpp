#include "lzx/encoder/block_policy.h"

#include <algorithm>
#include <cstring>

#include "lzx/encoder/huffman_codes.h"

namespace vykcn::lzx {

namespace {

constexpr uint64_t kBlockHeaderBits = kBlockTypeBits + kBlockSizeBits;
// An uncompressed block's header after type and size: up to a word of padding, then R0..R2.
constexpr uint64_t kRawHeaderBits = 16 + 32 * kNumRepeatedOffsets;

uint64_t SymbolBits(const uint32_t* freq, const uint8_t* lengths, unsigned n) {
  uint64_t bits = 0;
  for (unsigned s = 0; s < n; ++s) bits += static_cast<uint64_t>(freq[s]) * lengths[s];
  return bits;
}

// Estimated size of a block with these frequencies, of whichever type is smallest.
uint64_t EstimateBlockBits(const SymbolFrequencies& freq, const PreviousTrees& previous, uint32_t blockSize) {
  return PlanBlock(freq, previous, blockSize, true, false).bits;
}

}  // namespace

BlockPlan PlanBlock(const SymbolFrequencies& freq, const PreviousTrees& previous, uint32_t blockSize,
                    bool allowUncompressed, bool keepE8Literal) {
  BlockPlan plan;
  plan.mainSymbols = previous.mainSymbols;
  uint32_t mainFreq[kMaxMainSymbols];
  std::memcpy(mainFreq, freq.main, sizeof(mainFreq));
  if (keepE8Literal && mainFreq[kCallOpcode] == 0) mainFreq[kCallOpcode] = 1;
  BuildCodeLengths(mainFreq, plan.mainSymbols, kMaxCodeLength, plan.main);
  BuildCodeLengths(freq.length, kNumLengthSymbols, kMaxCodeLength, plan.length);
  BuildCodeLengths(freq.aligned, kNumAlignedSymbols, kMaxAlignedCodeLength, plan.aligned);

  const uint64_t common = kBlockHeaderBits + TreeBits(plan.main, plan.length, previous) +
                          SymbolBits(freq.main, plan.main, plan.mainSymbols) +
                          SymbolBits(freq.length, plan.length, kNumLengthSymbols);
  const uint64_t verbatim = common + freq.verbatimFooterBits;
  uint64_t aligned = ~uint64_t{0};
  bool anyAligned = false;
  for (unsigned s = 0; s < kNumAlignedSymbols; ++s) anyAligned |= freq.aligned[s] != 0;
  if (anyAligned) {
    aligned = common + kAlignedLengthBits * kNumAlignedSymbols + freq.alignedHighBits +
              SymbolBits(freq.aligned, plan.aligned, kNumAlignedSymbols);
  }
  plan.type = aligned < verbatim ? kBlockAligned : kBlockVerbatim;
  plan.bits = std::min(aligned, verbatim);
  if (allowUncompressed) {
    const uint64_t uncompressed = kBlockHeaderBits + kRawHeaderBits + 8 * static_cast<uint64_t>(blockSize);
    if (uncompressed <= plan.bits) {
      plan.type = kBlockUncompressed;
      plan.bits = uncompressed;
    }
  }
  return plan;
}

bool JoiningIsCheaper(const SymbolFrequencies& blockFreq, uint32_t blockSize, const SymbolFrequencies& unitFreq,
                      uint32_t unitSize, const PreviousTrees& previous) {
  const BlockPlan alone = PlanBlock(blockFreq, previous, blockSize, true, false);
  // The unit's own block would follow with the open block's trees as the previous ones.
  PreviousTrees after = previous;
  if (alone.type != kBlockUncompressed) {
    std::copy(alone.main, alone.main + kMaxMainSymbols, after.main);
    std::copy(alone.length, alone.length + kNumLengthSymbols, after.length);
  }
  const uint64_t separate = alone.bits + EstimateBlockBits(unitFreq, after, unitSize);
  SymbolFrequencies both = blockFreq;
  both.Add(unitFreq);
  return EstimateBlockBits(both, previous, blockSize + unitSize) <= separate;
}

}  // namespace vykcn::lzx
