// Near-optimal parsing over one chunk (see the header). The forward pass relaxes, from every
// reachable position, the literal, the repeated-offset matches of every length, and the
// explicit matches of every length, each explicit length priced with the nearest offset that
// reaches it. A match of the "nice" length or longer is taken as it is, skipping the positions
// it covers: long repeats gain nothing from finer parsing and would cost time per length.
#include "lzx/encoder/parser.h"

#include <algorithm>
#include <limits>

#include "base/byte_order.h"
#include "lzx/encoder/match_length.h"

namespace vykcn::lzx {

namespace {

constexpr uint32_t kInfinite = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kBit = 16;  // prices are in 1/16 bit
constexpr uint32_t kStepValueShift = 9;  // a step's length takes the bits below
constexpr uint32_t kStepLengthMask = (1u << kStepValueShift) - 1;
constexpr uint32_t kLengthsPerSlot = kMaxMatchLength - kMinMatchLength + 1;
static_assert(kMaxMatchLength <= kStepLengthMask && MaxMatchOffset(kMaxWindowSize) < (1u << (32 - kStepValueShift)));

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

// The queue after a step from a position whose queue is `q`: a match whose offset the queue holds
// was priced as that repeated slot (the lowest one holding it), any other as an explicit offset.
inline RepeatQueue QueueAfter(RepeatQueue q, uint32_t length, uint32_t value) {
  if (length == 1) return q;
  for (unsigned k = 0; k < kNumRepeatedOffsets; ++k) {
    if (q.r[k] == value) {
      q.r[k] = q.r[0];
      q.r[0] = value;
      return q;
    }
  }
  q.r[2] = q.r[1];
  q.r[1] = q.r[0];
  q.r[0] = value;
  return q;
}

}  // namespace

CostModel CostModel::Initial() {
  CostModel c;
  c.slots = (kMaxMainSymbols - kNumChars) / 8;
  for (unsigned s = 0; s < kNumChars; ++s) c.main[s] = 8 * kBit;
  for (unsigned s = kNumChars; s < kMaxMainSymbols; ++s) c.main[s] = 10 * kBit;
  for (unsigned s = 0; s < kNumLengthSymbols; ++s) c.length[s] = 7 * kBit;
  for (unsigned s = 0; s < kNumAlignedSymbols; ++s) c.aligned[s] = 3 * kBit;
  return c;
}

CostModel CostModel::FromLengths(const uint8_t* mainLengths, unsigned mainSymbols, const uint8_t* lengthLengths,
                                 const uint8_t* alignedLengths) {
  CostModel c;
  c.slots = (mainSymbols - kNumChars) / 8;
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
                      uint32_t niceLength, bool insertInsideNice, ChunkMatches& out) {
  out.first.resize(n + 1);
  // The buffer only grows: a unit reuses the room the units before it needed.
  if (out.matches.size() < 2 * size_t{n} + kMaxMatchesPerPosition) {
    out.matches.resize(2 * size_t{n} + kMaxMatchesPerPosition);
  }
  LzMatch* next = out.matches.data();
  out.longPositions = 0;
  uint32_t skipUntil = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t position = start + i;
    const uint32_t maxLength = std::min<uint32_t>(kMaxMatchLength, dataSize - position);
    const size_t used = static_cast<size_t>(next - out.matches.data());
    out.first[i] = static_cast<uint32_t>(used);
    if (i < skipUntil) {
      if (insertInsideNice) finder.Skip(position, maxLength, niceLength);
      ++out.longPositions;
      continue;
    }
    if (out.matches.size() - used < kMaxMatchesPerPosition) {
      out.matches.resize(2 * out.matches.size());
      next = out.matches.data() + used;
    }
    const uint32_t longest = finder.FindMatches(position, maxLength, niceLength, next);
    out.longPositions += longest >= 4;
    if (longest >= niceLength) skipUntil = i + longest;
  }
  out.first[n] = static_cast<uint32_t>(next - out.matches.data());
}

void NearOptimalParser::Parse(const uint8_t* data, uint32_t start, uint32_t n, const ChunkMatches& matches,
                              const CostModel& costs, const RepeatQueue& queue, std::vector<LzItem>& items) {
  nodes_.assign(n + 1, Node{kInfinite, 0});
  nodes_[0].cost = 0;
  queues_[0] = queue;  // position 0's, in the ring
  PriceMatches(costs);
  if (onePricePerLength_) {
    FindPath<true>(data, start, n, matches, costs);
  } else {
    FindPath<false>(data, start, n, matches, costs);
  }

  // Walk back from the end.
  size_t count = 0;
  for (uint32_t j = n; j > 0; j -= nodes_[j].step & kStepLengthMask) ++count;
  items.resize(count);
  size_t k = count;
  for (uint32_t j = n; j > 0; j -= nodes_[j].step & kStepLengthMask) {
    items[--k] = {nodes_[j].step & kStepLengthMask, nodes_[j].step >> kStepValueShift};
  }
}

void NearOptimalParser::PriceMatches(const CostModel& costs) {
  matchCosts_.resize(size_t{costs.slots} * kLengthsPerSlot);
  for (unsigned slot = 0; slot < costs.slots; ++slot) {
    uint32_t* row = &matchCosts_[slot * kLengthsPerSlot];
    for (uint32_t length = kMinMatchLength; length <= kMaxMatchLength; ++length) {
      row[length - kMinMatchLength] = costs.main[MainMatchSymbol(slot, length)] + LengthCost(costs, length);
    }
  }
}

template <bool kOnePricePerLength>
void NearOptimalParser::FindPath(const uint8_t* data, uint32_t start, uint32_t n, const ChunkMatches& matches,
                                 const CostModel& costs) {
  auto relax = [&](uint32_t to, uint32_t cost, uint32_t length, uint32_t value) {
    Node& node = nodes_[to];
    if (cost < node.cost) node = {cost, length | value << kStepValueShift};
  };

  for (uint32_t i = 0; i < n; ++i) {
    const Node& here = nodes_[i];
    if (here.cost == kInfinite) continue;  // inside a taken long match
    if (i != 0) {
      const uint32_t length = here.step & kStepLengthMask;
      queues_[i % kQueueRing] = QueueAfter(queues_[(i - length) % kQueueRing], length, here.step >> kStepValueShift);
    }
    const uint32_t position = start + i;
    const uint8_t* cur = data + position;
    const uint32_t base = here.cost;
    const RepeatQueue& q = queues_[i % kQueueRing];

    relax(i + 1, base + costs.main[*cur], 1, *cur);
    const uint32_t maxLength = std::min<uint32_t>(kMaxMatchLength, n - i);
    if (maxLength < kMinMatchLength) continue;

    const LzMatch* list = matches.matches.data() + matches.first[i];
    const LzMatch* listEnd = matches.matches.data() + matches.first[i + 1];
    uint32_t longestExplicit = 0;
    uint32_t longestExplicitOffset = 0;
    if (list != listEnd) {
      longestExplicit = std::min(listEnd[-1].length, maxLength);
      longestExplicitOffset = listEnd[-1].offset;
    }

    // Repeated offsets: the length each one reaches here. From position 1 on, no queued offset
    // reaches before the stream start (the queue starts as 1, 1, 1 and takes only offsets of
    // earlier matches); a slot holding a lower slot's offset is left to that one.
    uint32_t repLength[kNumRepeatedOffsets] = {0, 0, 0};
    uint32_t longestRep = 0;
    unsigned longestRepSlot = 0;
    if (position != 0) {
      const uint16_t head = ReadU16LE(cur);
      auto reach = [&](unsigned k, uint32_t offset) {
        const uint8_t* match = cur - offset;
        if (ReadU16LE(match) != head) return;  // most repeated offsets fail at once
        const uint32_t length = ExtendMatch(cur, match, kMinMatchLength, maxLength);
        repLength[k] = length;
        if (length > longestRep) {
          longestRep = length;
          longestRepSlot = k;
        }
      };
      const uint32_t r0 = q.r[0], r1 = q.r[1], r2 = q.r[2];
      reach(0, r0);
      if (r1 != r0) reach(1, r1);
      if (r2 != r0 && r2 != r1) reach(2, r2);
    }

    if (longestRep < kMinMatchLength && list == listEnd) continue;  // a literal only

    // A long match is taken whole.
    if (std::max(longestRep, longestExplicit) >= niceLength_) {
      if (longestRep >= longestExplicit) {
        const unsigned k = longestRepSlot;
        relax(i + longestRep, base + costs.main[MainMatchSymbol(k, longestRep)] + LengthCost(costs, longestRep),
              longestRep, q.r[k]);
        i += longestRep - 1;
      } else {
        const uint32_t offset = longestExplicitOffset;
        const unsigned slot = SlotOfFormattedOffset(offset + 2);
        relax(i + longestExplicit,
              base + costs.main[MainMatchSymbol(slot, longestExplicit)] + FooterCost(costs, slot, offset) +
                  LengthCost(costs, longestExplicit),
              longestExplicit, offset);
        i += longestExplicit - 1;
      }
      continue;
    }

    // Every length from `from` to `to` of one offset, in its slot's row of prices.
    auto relaxLengths = [&](uint32_t from, uint32_t to, unsigned slot, uint32_t offsetCost, uint32_t offset) {
      const uint32_t* row = &matchCosts_[slot * kLengthsPerSlot];
      const uint32_t offsetBase = base + offsetCost;
      for (uint32_t length = from; length <= to; ++length) {
        relax(i + length, offsetBase + row[length - kMinMatchLength], length, offset);
      }
    };

    // Lengths up to `covered` are priced (in the one-price mode) or need no explicit price.
    uint32_t covered = kMinMatchLength - 1;
    for (unsigned k = 0; k < kNumRepeatedOffsets; ++k) {
      const uint32_t from = kOnePricePerLength ? covered + 1 : kMinMatchLength;
      if (repLength[k] < from) continue;
      relaxLengths(from, repLength[k], k, 0, q.r[k]);
      if (kOnePricePerLength) covered = repLength[k];
    }

    for (const LzMatch* m = list; m != listEnd; ++m) {
      const uint32_t lengthLimit = std::min(m->length, maxLength);
      if (lengthLimit <= covered) continue;
      const uint32_t offset = m->offset;
      if (offset == q.r[0] || offset == q.r[1] || offset == q.r[2]) {
        covered = lengthLimit;  // the repeated slot already priced these lengths, cheaper
        continue;
      }
      const unsigned slot = SlotOfFormattedOffset(offset + 2);
      relaxLengths(covered + 1, lengthLimit, slot, FooterCost(costs, slot, offset), offset);
      covered = lengthLimit;
    }
  }
}

}  // namespace vykcn::lzx
