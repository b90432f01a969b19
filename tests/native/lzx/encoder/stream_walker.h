#pragma once
// A test-side reader of framed LZX streams, written from the format description: it decodes a
// stream bit by bit (canonical codes read one bit at a time, no tables) and records the rules
// the encoder promises to keep, so that tests can check them on real encoder output:
//   - a pretree run (17, 18, 19) never reaches past the end of the length segment it codes;
//   - an uncompressed block of odd length is the stream's last block;
//   - no match reaches past the end of its block or of its 32768-byte chunk;
//   - every chunk's bits end on a 16-bit word.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::lzx::test {

struct WalkResult {
  bool ok = false;                  // the stream decoded completely
  std::string error;                // why not, or the first broken rule
  std::vector<uint8_t> output;      // window bytes (before any call-translation undo)
  uint32_t callTranslationSize = 0;
  int blocks[4] = {0, 0, 0, 0};     // count per block type 1..3
};

WalkResult WalkStream(const std::vector<uint8_t>& stream);

}  // namespace vykcn::lzx::test
