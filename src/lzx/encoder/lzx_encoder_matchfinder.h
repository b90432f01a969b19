#pragma once
// Binary-tree match finder (after libdeflate's bt_matchfinder), for the encoder's 262144-byte
// window. Every position is inserted into a binary tree of the earlier positions that share its
// 4-byte hash, sorted by the bytes that follow; searching descends that tree and reports matches
// of strictly increasing length. Length-2 and length-3 matches come from small hash tables.
#include <cstdint>
#include <vector>

namespace vykcn::lzx {

struct LzMatch {
  uint32_t length;
  uint32_t offset;
};

class BinaryTreeMatchFinder {
 public:
  // `data` must stay valid and be readable for 4 bytes past `size` (the caller pads it).
  BinaryTreeMatchFinder(const uint8_t* data, uint32_t size, uint32_t max_offset, int max_depth);

  // Finds the matches at `position` (positions must be visited in order, each exactly once,
  // through FindMatches or Skip), appends them to `out` in increasing length order, at most
  // `max_length` long, and returns the longest length found (0 when none).
  uint32_t FindMatches(uint32_t position, uint32_t max_length, uint32_t nice_length,
                       std::vector<LzMatch>& out);
  // Inserts `position` without reporting matches.
  void Skip(uint32_t position, uint32_t max_length, uint32_t nice_length);

 private:
  uint32_t Advance(uint32_t position, uint32_t max_length, uint32_t nice_length, bool record,
                   std::vector<LzMatch>* out);

  static constexpr int kHash4Bits = 16;
  static constexpr int kHash3Bits = 15;
  static constexpr uint32_t kTreeSize = 1u << 18;  // at least the window
  static constexpr int32_t kNone = INT32_MIN / 2;

  const uint8_t* data_;
  uint32_t size_;
  uint32_t max_offset_;
  int max_depth_;
  std::vector<int32_t> hash2_;
  std::vector<int32_t> hash3_;
  std::vector<int32_t> hash4_;
  std::vector<int32_t> children_;  // two per tree slot: left (smaller), right (larger)
};

}  // namespace vykcn::lzx
