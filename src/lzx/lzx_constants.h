#pragma once
// Format constants of LZX as this project frames it (32 KiB frames, chunk headers), shared by the
// decoder and the encoder so that each number is written down once.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vykcn::lzx {

// ---- Window ----------------------------------------------------------------------------------
constexpr uint32_t kMinWindowSize = 32768;      // 2^15
constexpr uint32_t kMaxWindowSize = 2097152;    // 2^21
constexpr uint32_t kDefaultWindowSize = 131072; // chosen when the caller gives 0
constexpr uint32_t kFrameSize = 32768;          // output bytes per chunk (all but the last)

// The window is followed by a copy of its first 257 bytes, so that a match source running off the
// window end reads on without masking, and by 4 bytes of slack.
constexpr uint32_t kWindowMirrorSize = 257;
constexpr uint32_t kWindowSlackSize = 4;

// ---- Symbols -----------------------------------------------------------------------------------
constexpr unsigned kNumChars = 256;             // literal symbols of the main tree
constexpr unsigned kNumPrimaryLengths = 7;      // length headers 0..6; header 7 = "see length tree"
constexpr unsigned kNumLengthSymbols = 249;     // length tree alphabet
constexpr unsigned kMinMatchLength = 2;
constexpr unsigned kMaxMatchLength = 257;       // 7 + 248 + 2
constexpr unsigned kMaxPositionSlots = 51;      // slots with a position base (2 MiB window: 50 used)
constexpr unsigned kNumExtraBitsEntries = 52;
constexpr unsigned kMaxMainSymbols = kNumChars + 8 * 52;   // 672
constexpr unsigned kNumPretreeSymbols = 20;
constexpr unsigned kNumAlignedSymbols = 8;
constexpr unsigned kMaxCodeLength = 16;         // main and length trees
constexpr unsigned kPretreeLengthBits = 4;      // each pretree length is a 4-bit field
constexpr unsigned kAlignedLengthBits = 3;      // each aligned-tree length is a 3-bit field
constexpr unsigned kMaxPretreeCodeLength = (1u << kPretreeLengthBits) - 1;  // 15
constexpr unsigned kMaxAlignedCodeLength = (1u << kAlignedLengthBits) - 1;  // 7
constexpr unsigned kNumRepeatedOffsets = 3;     // R0, R1, R2; slots 0..2 refer to them

// Pretree symbols beyond the 17 length deltas.
constexpr unsigned kPretreeZeroRunShort = 17;   // 4 + ReadBits(4) zeros
constexpr unsigned kPretreeZeroRunLong = 18;    // 20 + ReadBits(5) zeros
constexpr unsigned kPretreeSameRun = 19;        // 4 + ReadBits(1) copies of one delta

// ---- Blocks ------------------------------------------------------------------------------------
constexpr unsigned kBlockTypeBits = 3;
constexpr int kBlockVerbatim = 1;
constexpr int kBlockAligned = 2;
constexpr int kBlockUncompressed = 3;
constexpr unsigned kBlockSizeBits = 24;         // sent as three 8-bit fields, high byte first

// ---- Call translation (0xE8 operands) -----------------------------------------------------------
constexpr uint8_t kCallOpcode = 0xE8;
constexpr uint32_t kCallTranslationChunkLimit = 32768;  // chunks from this 0-based index on are left alone
constexpr uint32_t kCallTranslationTail = 10;           // the last 10 bytes of a chunk are never translated

// ---- Chunk framing (big-endian headers around the little-endian bit stream) ----------------------
constexpr uint8_t kSizedChunkMarker = 0xFF;
constexpr size_t kSizedChunkHeaderSize = 5;     // 0xFF, U (2 bytes), C (2 bytes)
constexpr size_t kStandardChunkHeaderSize = 2;  // C (2 bytes); U is kFrameSize
constexpr size_t kStreamTrailerSize = 5;        // after the last chunk; never parsed

// ---- Position slots ------------------------------------------------------------------------------
// Footer bits per slot: 0 for slots 0..3, then 1, 1, 2, 2, ... 16, 16 for slots 4..35, 17 after.
constexpr std::array<uint8_t, kNumExtraBitsEntries> MakeExtraBits() {
  std::array<uint8_t, kNumExtraBitsEntries> bits{};
  for (unsigned s = 0; s < kNumExtraBitsEntries; ++s) {
    bits[s] = s < 4 ? 0 : s < 36 ? static_cast<uint8_t>(s / 2 - 1) : 17;
  }
  return bits;
}

// Position base minus 2 per slot: a match offset is kPositionBase[slot] + footer. Slots 0..2 are the
// repeated offsets and their entries are never used as offsets.
constexpr std::array<int32_t, kMaxPositionSlots> MakePositionBase() {
  std::array<int32_t, kMaxPositionSlots> base{};
  const std::array<uint8_t, kNumExtraBitsEntries> bits = MakeExtraBits();
  int32_t value = 0;
  for (unsigned s = 0; s < kMaxPositionSlots; ++s) {
    base[s] = value - 2;
    value += int32_t{1} << bits[s];
  }
  return base;
}

inline constexpr std::array<uint8_t, kNumExtraBitsEntries> kExtraBits = MakeExtraBits();
inline constexpr std::array<int32_t, kMaxPositionSlots> kPositionBase = MakePositionBase();

static_assert(kPositionBase[0] == -2 && kPositionBase[11] == 46);
static_assert(kPositionBase[35] == 196606 && kPositionBase[36] == 262142);
static_assert(kPositionBase[50] == 2097150);

// Number of position slots a window of `windowSize` bytes needs (30 for 32 KiB ... 50 for 2 MiB).
constexpr unsigned PositionSlotsForWindow(uint32_t windowSize) {
  unsigned slot = 4;
  uint64_t sum = 4;
  while (sum < windowSize) {
    sum += uint64_t{1} << kExtraBits[slot];
    ++slot;
  }
  return slot;
}

static_assert(PositionSlotsForWindow(32768) == 30 && PositionSlotsForWindow(262144) == 36);
static_assert(PositionSlotsForWindow(1048576) == 42 && PositionSlotsForWindow(2097152) == 50);

constexpr unsigned MainSymbolsForSlots(unsigned positionSlots) { return kNumChars + 8 * positionSlots; }

// Largest match offset in a window: the formatted offset (offset + 2) stays below the window size.
constexpr uint32_t MaxMatchOffset(uint32_t windowSize) { return windowSize - 3; }

// A window size the decoder accepts: a power of two from 32 KiB to 2 MiB.
constexpr bool IsValidWindowSize(uint32_t windowSize) {
  return windowSize >= kMinWindowSize && windowSize <= kMaxWindowSize &&
         (windowSize & (windowSize - 1)) == 0;
}

}  // namespace vykcn::lzx
