// Binary-tree match finding. See the header for the structure; the search loop keeps the
// lengths already known to match on the smaller and larger sides, so bytes are compared once.
#include "lzx/encoder/match_finder.h"

#include "base/byte_order.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

namespace {

inline uint32_t Hash(uint32_t v, int bits) { return (v * 0x1E35A7BDu) >> (32 - bits); }

inline uint32_t ExtendMatch(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t max) {
  while (length < max && a[length] == b[length]) ++length;
  return length;
}

}  // namespace

BinaryTreeMatchFinder::BinaryTreeMatchFinder(const uint8_t* data, uint32_t size, uint32_t windowSize,
                                             int maxDepth)
    : data_(data),
      size_(size),
      maxOffset_(MaxMatchOffset(windowSize)),
      treeMask_(windowSize - 1),
      maxDepth_(maxDepth),
      hash2_(1u << 16, kNone),
      hash3_(1u << kHash3Bits, kNone),
      hash4_(1u << kHash4Bits, kNone),
      children_(2 * size_t{windowSize}, kNone) {}

uint32_t BinaryTreeMatchFinder::FindMatches(uint32_t position, uint32_t maxLength, uint32_t niceLength,
                                            std::vector<LzMatch>& out) {
  return Advance(position, maxLength, niceLength, true, &out);
}

void BinaryTreeMatchFinder::Skip(uint32_t position, uint32_t maxLength, uint32_t niceLength) {
  Advance(position, maxLength, niceLength, false, nullptr);
}

uint32_t BinaryTreeMatchFinder::Advance(uint32_t position, uint32_t maxLength, uint32_t niceLength,
                                        bool record, std::vector<LzMatch>* out) {
  const uint8_t* cur = data_ + position;
  const int32_t pos = static_cast<int32_t>(position);
  const int32_t cutoff = pos - static_cast<int32_t>(maxOffset_) - 1;  // nodes at or below are too far
  int32_t* left = &children_[2 * (position & treeMask_)];
  int32_t* right = left + 1;
  if (maxLength < 4) {
    // Too close to the end to hash 4 bytes: this position joins no tree.
    *left = *right = kNone;
    return 0;
  }
  if (niceLength > maxLength) niceLength = maxLength;

  const uint32_t seq = ReadU32LE(cur);
  uint32_t best = 1;
  const size_t first = record ? out->size() : 0;
  // Lengths only grow; an earlier match that is not nearer than a longer one adds nothing.
  auto push = [&](uint32_t length, uint32_t offset) {
    while (out->size() > first && out->back().offset >= offset) out->pop_back();
    out->push_back({length, offset});
  };

  const uint32_t h2 = seq & 0xFFFF;
  const int32_t node2 = hash2_[h2];
  hash2_[h2] = pos;
  if (record && node2 > cutoff) {
    best = 2;
    push(2, static_cast<uint32_t>(pos - node2));
  }

  const uint32_t h3 = Hash(seq & 0xFFFFFF, kHash3Bits);
  const int32_t node3 = hash3_[h3];
  hash3_[h3] = pos;
  if (record && node3 > cutoff && (ReadU32LE(data_ + node3) & 0xFFFFFF) == (seq & 0xFFFFFF)) {
    best = 3;
    push(3, static_cast<uint32_t>(pos - node3));
  }

  const uint32_t h4 = Hash(seq, kHash4Bits);
  int32_t node = hash4_[h4];
  hash4_[h4] = pos;

  int32_t* pendingSmaller = left;   // where the next node smaller than cur goes
  int32_t* pendingLarger = right;   // where the next node larger than cur goes
  if (node <= cutoff) {
    *pendingSmaller = *pendingLarger = kNone;
    return record ? (best >= 2 ? best : 0) : 0;
  }
  uint32_t smallerLength = 0, largerLength = 0, length = 0;
  int depth = maxDepth_;
  for (;;) {
    const uint8_t* match = data_ + node;
    if (match[length] == cur[length]) {
      length = ExtendMatch(cur, match, length + 1, maxLength);
      if (!record || length > best) {
        if (record) {
          best = length;
          push(length, static_cast<uint32_t>(pos - node));
        }
        if (length >= niceLength) {
          int32_t* nodeChildren = &children_[2 * (static_cast<uint32_t>(node) & treeMask_)];
          *pendingSmaller = nodeChildren[0];
          *pendingLarger = nodeChildren[1];
          return record ? best : 0;
        }
      }
    }
    int32_t* nodeChildren = &children_[2 * (static_cast<uint32_t>(node) & treeMask_)];
    if (match[length] < cur[length]) {
      *pendingSmaller = node;
      pendingSmaller = &nodeChildren[1];
      node = *pendingSmaller;
      smallerLength = length;
      if (largerLength < length) length = largerLength;
    } else {
      *pendingLarger = node;
      pendingLarger = &nodeChildren[0];
      node = *pendingLarger;
      largerLength = length;
      if (smallerLength < length) length = smallerLength;
    }
    if (node <= cutoff || --depth == 0) {
      *pendingSmaller = *pendingLarger = kNone;
      return record ? (best >= 2 ? best : 0) : 0;
    }
  }
}

}  // namespace vykcn::lzx
