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
  std::vector<LzMatch> matches;
  std::vector<uint32_t> first;  // matches of position i: [first[i], first[i + 1])
};

class NearOptimalParser {
 public:
  explicit NearOptimalParser(uint32_t niceLength) : niceLength_(niceLength) {}

  // Parses data[start, start + n) (n ≤ 32768) into `items`, starting from `queue`. Matches never
  // reach past start + n.
  void Parse(const uint8_t* data, uint32_t start, uint32_t n, const ChunkMatches& matches,
             const CostModel& costs, const RepeatQueue& queue, std::vector<LzItem>& items);

 private:
  struct Node {
    uint32_t cost;
    uint32_t length;
    uint32_t value;
    RepeatQueue queue;
  };
  uint32_t niceLength_;
  std::vector<Node> nodes_;
};

// Finds the matches of every position of data[start, start + n) with `finder`, which must have
// seen every earlier position. A match of at least `niceLength` makes the following positions
// (within the chunk) be inserted without a search.
void FindChunkMatches(BinaryTreeMatchFinder& finder, uint32_t start, uint32_t n, uint32_t dataSize,
                      uint32_t niceLength, ChunkMatches& out);

}  // namespace vykcn::lzx
