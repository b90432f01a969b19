#pragma once
// Format constants and position-slot arithmetic the encoder needs, for the 262144-byte window.
#include <cstdint>

namespace vykcn::lzx {

constexpr uint32_t kEncoderWindowSize = 262144;
constexpr uint32_t kChunkSize = 32768;
constexpr int kNumChars = 256;
constexpr int kMinMatch = 2;
constexpr int kMaxMatch = 257;
constexpr int kNumPrimaryLengths = 7;                      // length headers 0..6 in the main symbol
constexpr int kLengthSymbols = 249;
constexpr int kEncoderPositionSlots = 36;                  // for a 262144-byte window
constexpr int kMainSymbols = kNumChars + 8 * kEncoderPositionSlots;  // 544
constexpr int kAlignedSymbols = 8;
constexpr int kPretreeSymbols = 20;
constexpr int kMaxMainCodeLength = 16;
constexpr int kMaxLengthCodeLength = 16;
constexpr int kMaxAlignedCodeLength = 7;
constexpr int kMaxPretreeCodeLength = 15;
// Largest match offset: the formatted offset (offset + 2) must stay below the window size.
constexpr uint32_t kMaxMatchOffset = kEncoderWindowSize - 3;
constexpr uint32_t kMaxBlockSize = (1u << 24) - 1;

enum BlockType : int { kVerbatimBlock = 1, kAlignedBlock = 2, kUncompressedBlock = 3 };

// Footer bits of each position slot: 0,0,0,0,1,1,2,2,...,16,16, then 17.
constexpr int SlotFooterBits(int slot) {
  return slot < 4 ? 0 : (slot < 36 ? slot / 2 - 1 : 17);
}

// First formatted offset of each slot (formatted offset = match offset + 2; slots 0..2 are the
// repeated offsets).
struct SlotBases {
  uint32_t base[kEncoderPositionSlots + 1];
  constexpr SlotBases() : base() {
    base[0] = 0;
    for (int s = 0; s < kEncoderPositionSlots; ++s) base[s + 1] = base[s] + (1u << SlotFooterBits(s));
  }
};
inline constexpr SlotBases kSlotBases{};

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
  const int header = length - kMinMatch < kNumPrimaryLengths ? length - kMinMatch : kNumPrimaryLengths;
  return kNumChars + slot * 8 + header;
}

}  // namespace vykcn::lzx
