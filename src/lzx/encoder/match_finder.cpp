// Binary-tree match finding. See the header for the structure; the search loop keeps the
// lengths already known to match on the smaller and larger sides, so bytes are compared once.
#include "lzx/encoder/match_finder.h"

#include "base/byte_order.h"
#include "lzx/encoder/match_length.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

namespace {

inline uint32_t Hash(uint32_t v, int bits) { return (v * 0x1E35A7BDu) >> (32 - bits); }

// The hash slots of the next position are fetched while this one is searched: the tables are
// too large for the cache, and positions come in order.
inline void Prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(p, 1);
#else
  (void)p;
#endif
}

}  // namespace

BinaryTreeMatchFinder::BinaryTreeMatchFinder(const uint8_t* data, uint32_t size, uint32_t windowSize,
                                             int maxDepth, int hash2Bits)
    : data_(data),
      size_(size),
      maxOffset_(MaxMatchOffset(windowSize)),
      treeMask_(windowSize - 1),
      maxDepth_(maxDepth),
      hash2Mask_((1u << hash2Bits) - 1),
      hash2_(size_t{hash2Mask_} + 1, kNone),
      hash3_(1u << kHash3Bits, kNone),
      hash4_(1u << kHash4Bits, kNone),
      children_(new int32_t[2 * size_t{windowSize}]) {}

template <bool kRecord>
uint32_t BinaryTreeMatchFinder::Advance(uint32_t position, uint32_t maxLength, uint32_t niceLength,
                                        LzMatch*& out) {
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
  const uint32_t nextSeq = ReadU32LE(cur + 1);
  Prefetch(&hash2_[Hash2(nextSeq)]);
  Prefetch(&hash3_[Hash(nextSeq & 0xFFFFFF, kHash3Bits)]);
  Prefetch(&hash4_[Hash(nextSeq, kHash4Bits)]);
  uint32_t best = 1;
  // Matches go through a local pointer, handed back on return: through the caller's, every store
  // of a match or a tree link would make the compiler reload it.
  LzMatch* next = out;
  LzMatch* const first = next;
  // Lengths only grow; an earlier match that is not nearer than a longer one adds nothing.
  auto push = [&](uint32_t length, uint32_t offset) {
    while (next != first && next[-1].offset >= offset) --next;
    *next++ = {length, offset};
  };
  auto finish = [&](uint32_t longest) {
    if (kRecord) out = next;
    return kRecord ? longest : 0;
  };

  const uint32_t h2 = Hash2(seq);
  const int32_t node2 = hash2_[h2];
  hash2_[h2] = pos;
  if (kRecord && node2 > cutoff && ReadU16LE(data_ + node2) == (seq & 0xFFFF)) {
    best = 2;
    push(2, static_cast<uint32_t>(pos - node2));
  }

  const uint32_t h3 = Hash(seq & 0xFFFFFF, kHash3Bits);
  const int32_t node3 = hash3_[h3];
  hash3_[h3] = pos;
  if (kRecord && node3 > cutoff && (ReadU32LE(data_ + node3) & 0xFFFFFF) == (seq & 0xFFFFFF)) {
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
    return finish(best >= 2 ? best : 0);
  }
  uint32_t smallerLength = 0, largerLength = 0, length = 0;
  int depth = maxDepth_;
  for (;;) {
    // The node's links are needed whichever way the bytes compare: fetch them alongside the bytes
    // rather than after.
    int32_t* nodeChildren = &children_[2 * (static_cast<uint32_t>(node) & treeMask_)];
    Prefetch(nodeChildren);
    const uint8_t* match = data_ + node;
    if (match[length] == cur[length]) {
      length = ExtendMatch(cur, match, length + 1, maxLength);
      if (!kRecord || length > best) {
        if (kRecord) {
          best = length;
          push(length, static_cast<uint32_t>(pos - node));
        }
        if (length >= niceLength) {
          *pendingSmaller = nodeChildren[0];
          *pendingLarger = nodeChildren[1];
          return finish(best);
        }
      }
    }
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
      return finish(best >= 2 ? best : 0);
    }
  }
}

template uint32_t BinaryTreeMatchFinder::Advance<true>(uint32_t, uint32_t, uint32_t, LzMatch*&);
template uint32_t BinaryTreeMatchFinder::Advance<false>(uint32_t, uint32_t, uint32_t, LzMatch*&);

}  // namespace vykcn::lzx
