// Near-optimal parsing over one chunk (see the header). The forward pass relaxes, from every
// reachable position, the literal, the repeated-offset matches of every length, and the
// explicit matches of every length, each explicit length priced with the nearest offset that
// reaches it. A match of the "nice" length or longer is taken as it is, skipping the positions
// it covers: long repeats gain nothing from finer parsing and would cost time per length.
#include "lzx/encoder/lzx_encoder_parse.h"

#include <algorithm>
#include <limits>

namespace vykcn::lzx {

namespace {

constexpr uint32_t kInfinite = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kBit = 16;  // prices are in 1/16 bit

inline uint32_t LengthCost(const CostModel& costs, uint32_t length) {
  return length - kMinMatch >= kPrimaryLengths ? costs.length[length - kMinMatch - kPrimaryLengths] : 0;
}

// Price of an explicit offset's footer.
inline uint32_t FooterCost(const CostModel& costs, int slot, uint32_t offset) {
  const int bits = SlotFooterBits(slot);
  if (costs.aligned_offsets && bits >= 3) {
    return (bits - 3) * kBit + costs.aligned[(offset + 2 - SlotBase(slot)) & 7];
  }
  return bits * kBit;
}

}  // namespace

CostModel CostModel::Initial() {
  CostModel c;
  for (int s = 0; s < kLiterals; ++s) c.main[s] = 8 * kBit;
  for (int s = kLiterals; s < kMainSymbols; ++s) c.main[s] = 10 * kBit;
  for (int s = 0; s < kLengthSymbols; ++s) c.length[s] = 7 * kBit;
  for (int s = 0; s < kAlignedSymbols; ++s) c.aligned[s] = 3 * kBit;
  return c;
}

CostModel CostModel::FromLengths(const uint8_t* main_lengths, const uint8_t* length_lengths,
                                 const uint8_t* aligned_lengths) {
  CostModel c;
  if (aligned_lengths != nullptr) {
    c.aligned_offsets = true;
    for (int s = 0; s < kAlignedSymbols; ++s) c.aligned[s] = (aligned_lengths[s] != 0 ? aligned_lengths[s] : 7) * kBit;
  }
  auto fill = [](const uint8_t* lengths, int n, uint32_t* out) {
    int longest = 0;
    for (int s = 0; s < n; ++s) longest = std::max<int>(longest, lengths[s]);
    const uint32_t missing = static_cast<uint32_t>(std::min(16, longest + 1) * kBit);
    for (int s = 0; s < n; ++s) out[s] = lengths[s] != 0 ? lengths[s] * kBit : missing;
  };
  fill(main_lengths, kMainSymbols, c.main);
  fill(length_lengths, kLengthSymbols, c.length);
  return c;
}

void FindChunkMatches(BinaryTreeMatchFinder& finder, uint32_t start, uint32_t n, uint32_t data_size,
                      uint32_t nice_length, ChunkMatches& out) {
  out.matches.clear();
  out.first.assign(n + 1, 0);
  uint32_t skip_until = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t position = start + i;
    const uint32_t max_length = std::min<uint32_t>(kMaxMatch, data_size - position);
    out.first[i] = static_cast<uint32_t>(out.matches.size());
    if (i < skip_until) {
      finder.Skip(position, max_length, nice_length);
      continue;
    }
    const uint32_t longest = finder.FindMatches(position, max_length, nice_length, out.matches);
    if (longest >= nice_length) skip_until = i + longest;
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
    const uint32_t max_length = std::min<uint32_t>(kMaxMatch, n - i);
    if (max_length < kMinMatch) continue;

    // Repeated offsets: the length each one reaches here.
    uint32_t rep_length[3] = {0, 0, 0};
    uint32_t longest_rep = 0;
    int longest_rep_slot = 0;
    for (int k = 0; k < 3; ++k) {
      const uint32_t offset = q.r[k];
      if (offset > position || (k >= 1 && offset == q.r[0]) || (k == 2 && offset == q.r[1])) continue;
      const uint8_t* match = cur - offset;
      uint32_t length = 0;
      while (length < max_length && match[length] == cur[length]) ++length;
      rep_length[k] = length;
      if (length > longest_rep) {
        longest_rep = length;
        longest_rep_slot = k;
      }
    }

    const LzMatch* list = matches.matches.data() + matches.first[i];
    const LzMatch* list_end = matches.matches.data() + matches.first[i + 1];
    uint32_t longest_explicit = 0;
    uint32_t longest_explicit_offset = 0;
    if (list != list_end) {
      longest_explicit = std::min(list_end[-1].length, max_length);
      longest_explicit_offset = list_end[-1].offset;
    }

    // A long match is taken whole.
    if (std::max(longest_rep, longest_explicit) >= nice_length_) {
      RepeatQueue next = q;
      if (longest_rep >= longest_explicit) {
        const int k = longest_rep_slot;
        const uint32_t offset = q.r[k];
        next.r[k] = next.r[0];
        next.r[0] = offset;
        relax(i + longest_rep,
              base + costs.main[MainMatchSymbol(k, longest_rep)] + LengthCost(costs, longest_rep),
              longest_rep, offset, next);
        i += longest_rep - 1;
      } else {
        const uint32_t offset = longest_explicit_offset;
        const int slot = SlotOfFormattedOffset(offset + 2);
        next.r[2] = next.r[1];
        next.r[1] = next.r[0];
        next.r[0] = offset;
        relax(i + longest_explicit,
              base + costs.main[MainMatchSymbol(slot, longest_explicit)] + FooterCost(costs, slot, offset) +
                  LengthCost(costs, longest_explicit),
              longest_explicit, offset, next);
        i += longest_explicit - 1;
      }
      continue;
    }

    for (int k = 0; k < 3; ++k) {
      if (rep_length[k] < kMinMatch) continue;
      const uint32_t offset = q.r[k];
      RepeatQueue next = q;
      next.r[k] = next.r[0];
      next.r[0] = offset;
      const uint32_t* main = &costs.main[kLiterals + 8 * k];
      for (uint32_t length = kMinMatch; length <= rep_length[k]; ++length) {
        const uint32_t header = std::min<uint32_t>(length - kMinMatch, kPrimaryLengths);
        relax(i + length, base + main[header] + LengthCost(costs, length), length, offset, next);
      }
    }

    uint32_t covered = kMinMatch - 1;
    for (const LzMatch* m = list; m != list_end; ++m) {
      const uint32_t length_limit = std::min(m->length, max_length);
      if (length_limit <= covered) continue;
      const uint32_t offset = m->offset;
      if (offset == q.r[0] || offset == q.r[1] || offset == q.r[2]) {
        covered = length_limit;  // the repeated slot already priced these lengths, cheaper
        continue;
      }
      const int slot = SlotOfFormattedOffset(offset + 2);
      RepeatQueue next = q;
      next.r[2] = next.r[1];
      next.r[1] = next.r[0];
      next.r[0] = offset;
      const uint32_t footer = FooterCost(costs, slot, offset);
      const uint32_t* main = &costs.main[kLiterals + 8 * slot];
      for (uint32_t length = covered + 1; length <= length_limit; ++length) {
        const uint32_t header = std::min<uint32_t>(length - kMinMatch, kPrimaryLengths);
        relax(i + length, base + main[header] + footer + LengthCost(costs, length), length, offset, next);
      }
      covered = length_limit;
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
