#pragma once
// The window decoder's output (window_output.cpp): each chunk decoded at the window's position and
// copied to the destination, with call translation undone on the copy. It runs continuous streams,
// and calls in which a chunk failed in direct output. WindowState is the window, whose position
// direct output keeps too.
#include <cstdint>

namespace vykcn::lzx {

struct LzxDecoder;

struct WindowState {
  uint8_t* bytes = nullptr;  // the window, just past the context in the same heap block
  uint32_t size = 0;         // W
  uint32_t mask = 0;         // W - 1
  int32_t position = 0;      // window index of the next output byte
  // Positions below this have been written since the last reset; the rest read as zeros.
  // Writes always run on from position, which starts at 0, so the written part is a prefix.
  uint32_t filled = 0;
  uint32_t translationOffset = 0;  // stream offset of the next chunk the call translation sees
  uint32_t chunkCount = 0;         // chunks decoded since the last reset
};

// An output for the block walk (WalkBlocks, decompress.cpp): one chunk, in the window from its
// position on, then copied to `out`.
struct WindowOutput {
  uint8_t* out;

  bool Raw(LzxDecoder& d, uint32_t n);
  bool Compressed(LzxDecoder& d, uint32_t n, bool aligned);
  // After the walk: copies the chunk's `produced` bytes to `out`; false when it fails.
  bool Finish(LzxDecoder& d, uint32_t produced);
};

// Copies a chunk's `count` bytes from `source` to `destination` and undoes call translation there
// at translationOffset, which moves on, when it is on and the chunk below the chunk limit.
void EmitChunk(LzxDecoder& decoder, uint8_t* destination, uint32_t count, const uint8_t* source);

}  // namespace vykcn::lzx
