#pragma once
// Near-optimal parsing: a minimum-cost path through a chunk's positions, where each step is a
// literal, a repeated-offset match or an explicit match, priced by a cost model taken from the
// code lengths of a previous parse. The repeated-offset queue travels along the best path to each
// position, so repeated matches are priced as what they will be coded as.
#include <cstdint>
#include <vector>

#include "lzx/encoder/lzx_encoder_format.h"
#include "lzx/encoder/lzx_encoder_items.h"
#include "lzx/encoder/lzx_encoder_matchfinder.h"

namespace vykcn::lzx {

// Prices in 1/16 bit.
struct CostModel {
  uint32_t main[kMainSymbols];
  uint32_t length[kLengthSymbols];
  // Aligned-offset block: the low 3 footer bits of offsets with 3 or more footer bits are coded
  // with the aligned tree, at these prices.
  bool aligned_offsets = false;
  uint32_t aligned[kAlignedSymbols];

  // Rough prices before any statistics exist.
  static CostModel Initial();
  // Prices from code lengths; symbols without a code cost a little more than the longest code.
  static CostModel FromLengths(const uint8_t* main_lengths, const uint8_t* length_lengths,
                               const uint8_t* aligned_lengths = nullptr);
};

// The matches found at each position of a chunk, in increasing length order.
struct ChunkMatches {
  std::vector<LzMatch> matches;
  std::vector<uint32_t> first;  // matches of position i: [first[i], first[i + 1])
};

class NearOptimalParser {
 public:
  explicit NearOptimalParser(uint32_t nice_length) : nice_length_(nice_length) {}

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
  uint32_t nice_length_;
  std::vector<Node> nodes_;
};

// Finds the matches of every position of data[start, start + n) with `finder`, which must have
// seen every earlier position. A match of at least `nice_length` makes the following positions
// (within the chunk) be inserted without a search.
void FindChunkMatches(BinaryTreeMatchFinder& finder, uint32_t start, uint32_t n, uint32_t data_size,
                      uint32_t nice_length, ChunkMatches& out);

}  // namespace vykcn::lzx
