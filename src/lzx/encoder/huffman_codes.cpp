// Huffman code construction: a plain Huffman tree over the used symbols, then, when it is too
// deep, the Kraft-sum repair that moves leaves up from the deepest level (as zlib and miniz do).
#include "lzx/encoder/huffman_codes.h"

#include <algorithm>

namespace vykcn::lzx {

void BuildCodeLengths(const uint32_t* frequencies, int n, int maxLength, uint8_t* lengths) {
  std::fill(lengths, lengths + n, 0);
  // Leaves sorted by frequency, ties by symbol (for determinism): one integer key each, so that
  // the sort compares plain numbers. The planner builds codes for every candidate block, so this
  // runs often; the arrays live on the stack.
  uint64_t keys[kMaxAlphabet];
  int leaves = 0;
  for (int s = 0; s < n; ++s) {
    if (frequencies[s] != 0) keys[leaves++] = uint64_t{frequencies[s]} << 32 | static_cast<uint32_t>(s);
  }
  if (leaves == 0) return;
  if (leaves == 1) {
    const int symbol = static_cast<int>(keys[0] & 0xFFFFFFFF);
    lengths[symbol] = 1;
    lengths[symbol == 0 ? 1 : 0] = 1;
    return;
  }
  std::sort(keys, keys + leaves);

  // Two-queue Huffman construction: leaves in order, internal nodes in creation order.
  uint64_t weight[2 * kMaxAlphabet];
  int parent[2 * kMaxAlphabet];
  for (int i = 0; i < leaves; ++i) weight[i] = keys[i] >> 32;
  int nextLeaf = 0, nextInternal = leaves, created = leaves;
  auto take = [&]() {
    if (nextLeaf < leaves && (nextInternal >= created || weight[nextLeaf] <= weight[nextInternal])) {
      return nextLeaf++;
    }
    return nextInternal++;
  };
  for (int k = 0; k < leaves - 1; ++k) {
    const int a = take();
    const int b = take();
    weight[created] = weight[a] + weight[b];
    parent[a] = parent[b] = created;
    ++created;
  }
  // Depths, root last.
  int depth[2 * kMaxAlphabet];
  depth[created - 1] = 0;
  for (int node = created - 2; node >= 0; --node) depth[node] = depth[parent[node]] + 1;

  int count[kMaxCodeLengthLimit + 1] = {};
  for (int i = 0; i < leaves; ++i) count[std::min(depth[i], maxLength)]++;

  // Clamping raised the Kraft sum above 1; each step takes one code off the deepest level and
  // splits a shorter code into two, lowering the sum by one unit of 2^-maxLength.
  uint64_t total = 0;
  for (int l = 1; l <= maxLength; ++l) total += static_cast<uint64_t>(count[l]) << (maxLength - l);
  const uint64_t full = uint64_t{1} << maxLength;
  while (total > full) {
    count[maxLength]--;
    for (int l = maxLength - 1; l > 0; --l) {
      if (count[l] != 0) {
        count[l]--;
        count[l + 1] += 2;
        break;
      }
    }
    --total;
  }

  // Rarest symbols get the longest codes.
  int index = 0;
  for (int l = maxLength; l >= 1; --l) {
    for (int k = 0; k < count[l]; ++k) lengths[keys[index++] & 0xFFFFFFFF] = static_cast<uint8_t>(l);
  }
}

void BuildCodewords(const uint8_t* lengths, int n, uint32_t* codewords) {
  uint32_t count[33] = {};
  for (int s = 0; s < n; ++s) count[lengths[s]]++;
  count[0] = 0;
  uint32_t next[33] = {};
  uint32_t code = 0;
  for (int l = 1; l <= 32; ++l) {
    code = (code + count[l - 1]) << 1;
    next[l] = code;
  }
  for (int s = 0; s < n; ++s) {
    codewords[s] = lengths[s] != 0 ? next[lengths[s]]++ : 0;
  }
}

}  // namespace vykcn::lzx
