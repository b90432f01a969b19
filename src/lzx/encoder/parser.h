#pragma once
// Near-optimal parsing: a minimum-cost path through a chunk's positions, where each step is a
// literal, a repeated-offset match or an explicit match, priced by a cost model taken from the
// code lengths of a previous parse. The repeated-offset queue travels along the best path to each
// position, so repeated matches are priced as what they will be coded as.
#include <cstdint>
#include <vector>

#include "lzx/encoder/items.h"
#include "lzx/encoder/match_finder.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

// Prices in 1/16 bit.
struct CostModel {
  unsigned slots;  // position slots whose main symbols are priced
  uint32_t main[kMaxMainSymbols];
  uint32_t length[kNumLengthSymbols];
  // Aligned-offset block: the low 3 footer bits of offsets with 3 or more footer bits are coded
  // with the aligned tree, at these prices.
  bool alignedOffsets = false;
  uint32_t aligned[kNumAlignedSymbols];

  // Rough prices before any statistics exist.
  static CostModel Initial();
  // Prices from the code lengths of `mainSymbols` main symbols and of the length symbols (and of
  // the aligned symbols, for an aligned-offset block); symbols without a code cost a little more
  // than the longest code.
  static CostModel FromLengths(const uint8_t* mainLengths, unsigned mainSymbols, const uint8_t* lengthLengths,
                               const uint8_t* alignedLengths = nullptr);
};

// The matches found at each position of a chunk, in increasing length order.
struct ChunkMatches {
  std::vector<LzMatch> matches;  // room for them; those in use end at first[n]
  std::vector<uint32_t> first;   // matches of position i: [first[i], first[i + 1])
  uint32_t longPositions = 0;    // positions with a match of 4 bytes or more, or inside a nice one
};

class NearOptimalParser {
 public:
  // `onePricePerLength`: see EncoderEffort.
  NearOptimalParser(uint32_t niceLength, bool onePricePerLength)
      : niceLength_(niceLength), onePricePerLength_(onePricePerLength) {}

  // Parses data[start, start + n) (n ≤ 32768) into `items`, starting from `queue`. Matches never
  // reach past start + n.
  void Parse(const uint8_t* data, uint32_t start, uint32_t n, const ChunkMatches& matches,
             const CostModel& costs, const RepeatQueue& queue, std::vector<LzItem>& items);

 private:
  // The price of every match length in every position slot, offset footer aside.
  void PriceMatches(const CostModel& costs);
  template <bool kOnePricePerLength>
  void FindPath(const uint8_t* data, uint32_t start, uint32_t n, const ChunkMatches& matches,
                const CostModel& costs);

  // The cheapest way found so far to reach a position: its price and the last step, packed as
  // the step's length (9 bits) under its literal or offset. Small, since relaxing them is the hot
  // loop.
  struct Node {
    uint32_t cost;
    uint32_t step;
  };
  uint32_t niceLength_;
  bool onePricePerLength_;
  std::vector<Node> nodes_;
  // The queue at each position along its cheapest path, set once the position's best step is
  // final (when the forward pass reaches it) rather than at every relaxation. A step reaches
  // back at most kMaxMatchLength positions, so a ring of the last 512 serves.
  static constexpr uint32_t kQueueRing = 512;
  static_assert(kQueueRing > kMaxMatchLength);
  RepeatQueue queues_[kQueueRing];
  std::vector<uint32_t> matchCosts_;  // slot * kLengthsPerSlot + length - kMinMatchLength
};

// Finds the matches of every position of data[start, start + n) with `finder`, which must have
// seen every earlier position. A match of at least `niceLength` makes the following positions
// (within the chunk) go unsearched: inserted into the finder with `insertInsideNice`, else left
// out, so that later matches find the copy this one repeats instead.
void FindChunkMatches(BinaryTreeMatchFinder& finder, uint32_t start, uint32_t n, uint32_t dataSize,
                      uint32_t niceLength, bool insertInsideNice, ChunkMatches& out);

}  // namespace vykcn::lzx
