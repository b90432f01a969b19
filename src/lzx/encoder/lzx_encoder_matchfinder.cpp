// Binary-tree match finding. See the header for the structure; the search loop keeps the
// lengths already known to match on the smaller and larger sides, so bytes are compared once.
#include "lzx/encoder/lzx_encoder_matchfinder.h"

#include <cstring>

namespace vykcn::lzx {

namespace {

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline uint32_t Hash(uint32_t v, int bits) { return (v * 0x1E35A7BDu) >> (32 - bits); }

inline uint32_t ExtendMatch(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t max) {
  while (length < max && a[length] == b[length]) ++length;
  return length;
}

}  // namespace

BinaryTreeMatchFinder::BinaryTreeMatchFinder(const uint8_t* data, uint32_t size, uint32_t max_offset,
                                             int max_depth)
    : data_(data),
      size_(size),
      max_offset_(max_offset),
      max_depth_(max_depth),
      hash2_(1u << 16, kNone),
      hash3_(1u << kHash3Bits, kNone),
      hash4_(1u << kHash4Bits, kNone),
      children_(2 * kTreeSize, kNone) {}

uint32_t BinaryTreeMatchFinder::FindMatches(uint32_t position, uint32_t max_length, uint32_t nice_length,
                                            std::vector<LzMatch>& out) {
  return Advance(position, max_length, nice_length, true, &out);
}

void BinaryTreeMatchFinder::Skip(uint32_t position, uint32_t max_length, uint32_t nice_length) {
  Advance(position, max_length, nice_length, false, nullptr);
}

uint32_t BinaryTreeMatchFinder::Advance(uint32_t position, uint32_t max_length, uint32_t nice_length,
                                        bool record, std::vector<LzMatch>* out) {
  const uint8_t* cur = data_ + position;
  const int32_t pos = static_cast<int32_t>(position);
  const int32_t cutoff = pos - static_cast<int32_t>(max_offset_) - 1;  // nodes at or below are too far
  int32_t* left = &children_[2 * (position & (kTreeSize - 1))];
  int32_t* right = left + 1;
  if (max_length < 4) {
    // Too close to the end to hash 4 bytes: this position joins no tree.
    *left = *right = kNone;
    return 0;
  }
  if (nice_length > max_length) nice_length = max_length;

  const uint32_t seq = Load32(cur);
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
  if (record && node3 > cutoff && (Load32(data_ + node3) & 0xFFFFFF) == (seq & 0xFFFFFF)) {
    best = 3;
    push(3, static_cast<uint32_t>(pos - node3));
  }

  const uint32_t h4 = Hash(seq, kHash4Bits);
  int32_t node = hash4_[h4];
  hash4_[h4] = pos;

  int32_t* pending_smaller = left;   // where the next node smaller than cur goes
  int32_t* pending_larger = right;   // where the next node larger than cur goes
  if (node <= cutoff) {
    *pending_smaller = *pending_larger = kNone;
    return record ? (best >= 2 ? best : 0) : 0;
  }
  uint32_t smaller_length = 0, larger_length = 0, length = 0;
  int depth = max_depth_;
  for (;;) {
    const uint8_t* match = data_ + node;
    if (match[length] == cur[length]) {
      length = ExtendMatch(cur, match, length + 1, max_length);
      if (!record || length > best) {
        if (record) {
          best = length;
          push(length, static_cast<uint32_t>(pos - node));
        }
        if (length >= nice_length) {
          int32_t* node_children = &children_[2 * (static_cast<uint32_t>(node) & (kTreeSize - 1))];
          *pending_smaller = node_children[0];
          *pending_larger = node_children[1];
          return record ? best : 0;
        }
      }
    }
    int32_t* node_children = &children_[2 * (static_cast<uint32_t>(node) & (kTreeSize - 1))];
    if (match[length] < cur[length]) {
      *pending_smaller = node;
      pending_smaller = &node_children[1];
      node = *pending_smaller;
      smaller_length = length;
      if (larger_length < length) length = larger_length;
    } else {
      *pending_larger = node;
      pending_larger = &node_children[0];
      node = *pending_larger;
      larger_length = length;
      if (smaller_length < length) length = smaller_length;
    }
    if (node <= cutoff || --depth == 0) {
      *pending_smaller = *pending_larger = kNone;
      return record ? (best >= 2 ? best : 0) : 0;
    }
  }
}

}  // namespace vykcn::lzx
