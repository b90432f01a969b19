#pragma once
// What each compression level spends: the match finder's search, the parser's breadth and how
// many times a stretch of input is parsed.
#include <cstdint>

#include "lzx/encoder/compress.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

// Parsing proceeds in units that blocks are made of: whole chunks for text, whose statistics
// change slowly; for code (call translation on) a fraction of a chunk, where switching trees more
// often pays when each block is parsed again with its own codes, and half a chunk otherwise, for
// the statistics of one unit price the next.
struct EncoderEffort {
  int maxSearchDepth;         // tree nodes the match finder visits per position
  int hash2Bits;              // size of the match finder's length-2 table (see match_finder.h)
  uint32_t niceMatchLength;   // a match this long is taken as it is, unsearched and unparsed
  bool insertInsideNice;      // whether the positions such a match covers join the match finder
  int unitPasses;             // parses of a unit, each priced with the statistics of the parse before
  int blockPasses;            // parses of a finished block priced with its own codes
  uint32_t codeUnit;          // parse unit with call translation on: a power of two, 2 KiB to 32 KiB
  // Each match length is priced once, with the first offset that reaches it in the order R0, R1,
  // R2, then explicit offsets nearest first. Otherwise every repeated offset prices all its
  // lengths.
  bool onePricePerLength;
  // A unit where fewer than 1 position in 64 has a match of four bytes or more (or lies inside a
  // nice one) is taken as literals, unparsed: LZ cannot shrink it.
  bool literalsWhereMatchPoor;
};

// kBest is the encoder as it was before levels existed: its streams stay byte for byte the same.
constexpr EncoderEffort kBestEffort = {96, 16, 160, true, 2, 2, kFrameSize / 4, false, false};
constexpr EncoderEffort kDefaultEffort = {24, 12, 48, false, 1, 0, kFrameSize / 2, true, true};

constexpr EncoderEffort EffortOf(CompressionLevel level) {
  return level == CompressionLevel::kBest ? kBestEffort : kDefaultEffort;
}

}  // namespace vykcn::lzx
