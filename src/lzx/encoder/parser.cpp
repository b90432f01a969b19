// Near-optimal parsing over one chunk (see the header). The forward pass relaxes, from every
// reachable position, the literal, the repeated-offset matches of every length, and the
// explicit matches of every length, each explicit length priced with the nearest offset that
// reaches it. A match of the "nice" length or longer is taken as it is, skipping the positions
// it covers: long repeats gain nothing from finer parsing and would cost time per length.
#include "lzx/encoder/parser.h"

#include <algorithm>
#include <limits>

namespace vykcn::lzx {

namespace {

constexpr uint32_t kInfinite = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kBit = 16;  // prices are in 1/16 bit

inline uint32_t LengthCost(const CostModel& costs, uint32_t length) {
  return length - kMinMatchLength >= kNumPrimaryLengths
             ? costs.length[length - kMinMatchLength - kNumPrimaryLengths]
             : 0;
}

// Price of an explicit offset's footer.
inline uint32_t FooterCost(const CostModel& costs, unsigned slot, uint32_t offset) {
  const uint32_t bits = kExtraBits[slot];
  if (costs.alignedOffsets && bits >= 3) {
    return (bits - 3) * kBit + costs.aligned[FooterOf(offset, slot) & 7];
  }
  return bits * kBit;
}

}  // namespace

CostModel CostModel::Initial() {
  CostModel c;
  for (unsigned s = 0; s < kNumChars; ++s) c.main[s] = 8 * kBit;
  for (unsigned s = kNumChars; s < kMaxMainSymbols; ++s) c.main[s] = 10 * kBit;
  for (unsigned s = 0; s < kNumLengthSymbols; ++s) c.length[s] = 7 * kBit;
  for (unsigned s = 0; s < kNumAlignedSymbols; ++s) c.aligned[s] = 3 * kBit;
  return c;
}

CostModel CostModel::FromLengths(const uint8_t* mainLengths, unsigned mainSymbols, const uint8_t* lengthLengths,
                                 const uint8_t* alignedLengths) {
  CostModel c;
  if (alignedLengths != nullptr) {
    c.alignedOffsets = true;
    for (unsigned s = 0; s < kNumAlignedSymbols; ++s) {
      c.aligned[s] = (alignedLengths[s] != 0 ? alignedLengths[s] : kMaxAlignedCodeLength) * kBit;
    }
  }
  auto fill = [](const uint8_t* lengths, unsigned n, uint32_t* out) {
    unsigned longest = 0;
    for (unsigned s = 0; s < n; ++s) longest = std::max<unsigned>(longest, lengths[s]);
    const uint32_t missing = std::min(kMaxCodeLength, longest + 1) * kBit;
    for (unsigned s = 0; s < n; ++s) out[s] = lengths[s] != 0 ? lengths[s] * kBit : missing;
  };
  fill(mainLengths, mainSymbols, c.main);
  fill(lengthLengths, kNumLengthSymbols, c.length);
  return c;
}

void FindChunkMatches(BinaryTreeMatchFinder& finder, uint32_t start, uint32_t n, uint32_t dataSize,
                      uint32_t niceLength, ChunkMatches& out) {
  out.matches.clear();
  out.first.assign(n + 1, 0);
  uint32_t skipUntil = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t position = start + i;
    const uint32_t maxLength = std::min<uint32_t>(kMaxMatchLength, dataSize - position);
    out.first[i] = static_cast<uint32_t>(out.matches.size());
    if (i < skipUntil) {
      finder.Skip(position, maxLength, niceLength);
      continue;
    }
    const uint32_t longest = finder.FindMatches(position, maxLength, niceLength, out.matches);
    if (longest >= niceLength) skipUntil = i + longest;
  }
  out.first[n] = static_cast<uint32_t>(out.matches.size());
}

void NearOptimalParser::Parse(const uint8_t* data, uint32_t start, uint32_t n, const ChunkMatches& matches,
                              const CostModel& costs, const RepeatQueue& queue, std::vector<LzItem>& items) {
  nodes_.assign(n + 1, Node{kInfinite, 0, 0, {}});
  nodes_[0].cost = 0;
  nodes_[0].queue = queue;

  auto relax = [&](uint32_t to, uint32_t cost, uint32_t length, uint32_t value, const RepeatQueue& q) {
    Node& node = nodes_[to];
    if (cost < node.cost) {
      node.cost = cost;
      node.length = length;
      node.value = value;
      node.queue = q;
    }
  };

  for (uint32_t i = 0; i < n; ++i) {
    const Node& here = nodes_[i];
    if (here.cost == kInfinite) continue;  // inside a taken long match
    const uint32_t position = start + i;
    const uint8_t* cur = data + position;
    const uint32_t base = here.cost;
    const RepeatQueue q = here.queue;

    relax(i + 1, base + costs.main[*cur], 1, *cur, q);
    const uint32_t maxLength = std::min<uint32_t>(kMaxMatchLength, n - i);
    if (maxLength < kMinMatchLength) continue;

    // Repeated offsets: the length each one reaches here.
    uint32_t repLength[kNumRepeatedOffsets] = {0, 0, 0};
    uint32_t longestRep = 0;
    unsigned longestRepSlot = 0;
    for (unsigned k = 0; k < kNumRepeatedOffsets; ++k) {
      const uint32_t offset = q.r[k];
      if (offset > position || (k >= 1 && offset == q.r[0]) || (k == 2 && offset == q.r[1])) continue;
      const uint8_t* match = cur - offset;
      uint32_t length = 0;
      while (length < maxLength && match[length] == cur[length]) ++length;
      repLength[k] = length;
      if (length > longestRep) {
        longestRep = length;
        longestRepSlot = k;
      }
    }

    const LzMatch* list = matches.matches.data() + matches.first[i];
    const LzMatch* listEnd = matches.matches.data() + matches.first[i + 1];
    uint32_t longestExplicit = 0;
    uint32_t longestExplicitOffset = 0;
    if (list != listEnd) {
      longestExplicit = std::min(listEnd[-1].length, maxLength);
      longestExplicitOffset = listEnd[-1].offset;
    }

    // A long match is taken whole.
    if (std::max(longestRep, longestExplicit) >= niceLength_) {
      RepeatQueue next = q;
      if (longestRep >= longestExplicit) {
        const unsigned k = longestRepSlot;
        const uint32_t offset = q.r[k];
        next.r[k] = next.r[0];
        next.r[0] = offset;
        relax(i + longestRep,
              base + costs.main[MainMatchSymbol(k, longestRep)] + LengthCost(costs, longestRep),
              longestRep, offset, next);
        i += longestRep - 1;
      } else {
        const uint32_t offset = longestExplicitOffset;
        const unsigned slot = SlotOfFormattedOffset(offset + 2);
        next.r[2] = next.r[1];
        next.r[1] = next.r[0];
        next.r[0] = offset;
        relax(i + longestExplicit,
              base + costs.main[MainMatchSymbol(slot, longestExplicit)] + FooterCost(costs, slot, offset) +
                  LengthCost(costs, longestExplicit),
              longestExplicit, offset, next);
        i += longestExplicit - 1;
      }
      continue;
    }

    for (unsigned k = 0; k < kNumRepeatedOffsets; ++k) {
      if (repLength[k] < kMinMatchLength) continue;
      const uint32_t offset = q.r[k];
      RepeatQueue next = q;
      next.r[k] = next.r[0];
      next.r[0] = offset;
      const uint32_t* main = &costs.main[kNumChars + 8 * k];
      for (uint32_t length = kMinMatchLength; length <= repLength[k]; ++length) {
        const uint32_t header = std::min<uint32_t>(length - kMinMatchLength, kNumPrimaryLengths);
        relax(i + length, base + main[header] + LengthCost(costs, length), length, offset, next);
      }
    }

    uint32_t covered = kMinMatchLength - 1;
    for (const LzMatch* m = list; m != listEnd; ++m) {
      const uint32_t lengthLimit = std::min(m->length, maxLength);
      if (lengthLimit <= covered) continue;
      const uint32_t offset = m->offset;
      if (offset == q.r[0] || offset == q.r[1] || offset == q.r[2]) {
        covered = lengthLimit;  // the repeated slot already priced these lengths, cheaper
        continue;
      }
      const unsigned slot = SlotOfFormattedOffset(offset + 2);
      RepeatQueue next = q;
      next.r[2] = next.r[1];
      next.r[1] = next.r[0];
      next.r[0] = offset;
      const uint32_t footer = FooterCost(costs, slot, offset);
      const uint32_t* main = &costs.main[kNumChars + 8 * slot];
      for (uint32_t length = covered + 1; length <= lengthLimit; ++length) {
        const uint32_t header = std::min<uint32_t>(length - kMinMatchLength, kNumPrimaryLengths);
        relax(i + length, base + main[header] + footer + LengthCost(costs, length), length, offset, next);
      }
      covered = lengthLimit;
    }
  }

  // Walk back from the end.
  size_t count = 0;
  for (uint32_t j = n; j > 0; j -= nodes_[j].length) ++count;
  items.resize(count);
  size_t k = count;
  for (uint32_t j = n; j > 0; j -= nodes_[j].length) items[--k] = {nodes_[j].length, nodes_[j].value};
}

}  // namespace vykcn::lzx
