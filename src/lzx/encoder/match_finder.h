#pragma once
// Binary-tree match finder (after libdeflate's bt_matchfinder) over the encoder's window. Every
// position is inserted into a binary tree of the earlier positions that share its
// 4-byte hash, sorted by the bytes that follow; searching descends that tree and reports matches
// of strictly increasing length. Length-2 and length-3 matches come from small hash tables.
#include <cstdint>
#include <memory>
#include <vector>

#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

struct LzMatch {
  uint32_t length;
  uint32_t offset;
};

// Matches at one position have distinct lengths from 2 to 257.
constexpr uint32_t kMaxMatchesPerPosition = kMaxMatchLength - kMinMatchLength + 1;

class BinaryTreeMatchFinder {
 public:
  // `data` must stay valid and be readable for 8 bytes past `size` (the caller pads it). Matches
  // reach back at most MaxMatchOffset(windowSize) bytes; `windowSize` is a power of two. The
  // length-2 table has 2^hash2Bits entries (at most 16): with all 16, every pair of bytes has its
  // own and the nearest earlier pair is always found; a smaller table keeps only recent ones,
  // the only ones worth a match of two bytes.
  BinaryTreeMatchFinder(const uint8_t* data, uint32_t size, uint32_t windowSize, int maxDepth, int hash2Bits);

  // Finds the matches at `position` (positions must be visited in order, each at most once,
  // through FindMatches or Skip; one left out is never matched), writes them from `out` on in
  // increasing length order, at most `maxLength` long, and moves `out` past them (room for
  // kMaxMatchesPerPosition is needed).
  // Returns the longest length found (0 when none).
  uint32_t FindMatches(uint32_t position, uint32_t maxLength, uint32_t niceLength, LzMatch*& out) {
    return Advance<true>(position, maxLength, niceLength, out);
  }
  // Inserts `position` without reporting matches.
  void Skip(uint32_t position, uint32_t maxLength, uint32_t niceLength) {
    LzMatch* none = nullptr;
    Advance<false>(position, maxLength, niceLength, none);
  }

 private:
  template <bool kRecord>
  uint32_t Advance(uint32_t position, uint32_t maxLength, uint32_t niceLength, LzMatch*& out);

  static constexpr int kHash4Bits = 16;
  static constexpr int kHash3Bits = 15;
  static constexpr int32_t kNone = INT32_MIN / 2;

  // The first two bytes folded into the length-2 table: a one-to-one map at 16 bits.
  uint32_t Hash2(uint32_t seq) const { return ((seq & 0xFFFF) ^ ((seq & 0xFFFF) >> 4)) & hash2Mask_; }

  const uint8_t* data_;
  uint32_t size_;
  uint32_t maxOffset_;
  uint32_t treeMask_;  // a tree slot per window position
  int maxDepth_;
  uint32_t hash2Mask_;
  std::vector<int32_t> hash2_;
  std::vector<int32_t> hash3_;
  std::vector<int32_t> hash4_;
  // Two per tree slot: left (smaller), right (larger). Left uninitialized: a slot is written when
  // its position is inserted, before any link can lead to it, so only the pages the input reaches
  // are ever touched.
  std::unique_ptr<int32_t[]> children_;
};

}  // namespace vykcn::lzx
