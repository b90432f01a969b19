#pragma once
// The format numbers as the encoder uses them (signed, for its loops and arrays), taken from the
// shared constants, for the one window size the encoder writes: 262144 bytes.
#include <cstdint>

#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

constexpr uint32_t kEncoderWindowSize = 262144;
constexpr uint32_t kChunkSize = kFrameSize;
constexpr int kLiterals = kNumChars;
constexpr int kMinMatch = kMinMatchLength;
constexpr int kMaxMatch = kMaxMatchLength;
constexpr int kPrimaryLengths = kNumPrimaryLengths;
constexpr int kLengthSymbols = kNumLengthSymbols;
constexpr int kEncoderPositionSlots = PositionSlotsForWindow(kEncoderWindowSize);  // 36
constexpr int kMainSymbols = MainSymbolsForSlots(kEncoderPositionSlots);           // 544
constexpr int kAlignedSymbols = kNumAlignedSymbols;
constexpr int kPretreeSymbols = kNumPretreeSymbols;
constexpr int kMaxMainCodeLength = kMaxCodeLength;
constexpr int kMaxLengthCodeLength = kMaxCodeLength;
constexpr int kMaxAlignedCodeLength = (1 << kAlignedLengthBits) - 1;  // 7
constexpr int kMaxPretreeCodeLength = (1 << kPretreeLengthBits) - 1;  // 15
// Largest match offset: the formatted offset (offset + 2) must stay below the window size.
constexpr uint32_t kMaxMatchOffset = kEncoderWindowSize - 3;

enum BlockType : int {
  kVerbatimBlock = kBlockVerbatim,
  kAlignedBlock = kBlockAligned,
  kUncompressedBlock = kBlockUncompressed,
};

inline int SlotFooterBits(int slot) { return kExtraBits[slot]; }

// First formatted offset (match offset + 2) of a slot.
inline uint32_t SlotBase(int slot) { return static_cast<uint32_t>(kPositionBase[slot] + 2); }

// Position slot of a formatted offset of at least 3 (an explicit match offset of at least 1).
inline int SlotOfFormattedOffset(uint32_t formatted) {
  if (formatted < 4) return static_cast<int>(formatted);
#if defined(__GNUC__) || defined(__clang__)
  const int log2 = 31 - __builtin_clz(formatted);
#else
  int log2 = 0;
  while ((formatted >> (log2 + 1)) != 0) ++log2;
#endif
  return 2 * log2 + static_cast<int>((formatted >> (log2 - 1)) & 1);
}

inline int MainMatchSymbol(int slot, int length) {
  const int header = length - kMinMatch < kPrimaryLengths ? length - kMinMatch : kPrimaryLengths;
  return kLiterals + slot * 8 + header;
}

}  // namespace vykcn::lzx
