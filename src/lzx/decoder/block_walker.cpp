// Block headers and the chunk driver. A chunk starts its bit stream afresh at its data; blocks run
// on from chunk to chunk.
#include "lzx/decoder/block_walker.h"

#include <cstring>

#include "base/byte_order.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/direct_output.h"
#include "lzx/decoder/tree_reader.h"
#include "lzx/decoder/window_output.h"

namespace vykcn::lzx {

namespace {

// The raw block's header: padding up to the last loaded 16-bit word, then R0, R1, R2 as
// little-endian 32-bit values. The bit buffer holds that word in full plus 1 to 16 unread bits of
// the one before, so stepping back 2 bytes drops the unread remainder.
bool ReadUncompressedHeader(LzxDecoder& d) {
  const uint8_t* cursor = d.inputCursor - 2;
  // Never before the chunk's own data, and all 12 bytes inside the chunk's input.
  if (d.inputCursor < d.chunkData + 2 || d.inputEnd - cursor < 12) return false;
  for (int i = 0; i < 3; ++i) {
    d.repeatedOffsets[i] = static_cast<int32_t>(ReadU32LE(cursor));
    cursor += 4;
  }
  d.inputCursor = cursor;
  return true;
}

template <typename Output>
bool DecodeChunkTo(LzxDecoder& d, uint32_t size, Output output) {
  if (!ChunkFitsWindow(d, size)) return false;
  PrimeBitReader(d);
  return WalkBlocks(d, size, output) && output.Finish(d, size);
}

}  // namespace

bool ReadBlockHeader(LzxDecoder& d) {
  if (d.headerPending) {
    d.headerPending = 0;
    if (ReadBits(d, 1)) {
      const uint32_t high = ReadBits(d, 16);
      d.translationSize = high << 16 | ReadBits(d, 16);
    } else {
      d.translationSize = 0;
    }
  }
  if (d.blockType == kBlockUncompressed) {
    // The bit stream resumes at the byte after the raw data; no padding byte is skipped.
    d.blockType = 0;
    PrimeBitReader(d);
  }
  d.blockType = static_cast<int32_t>(ReadBits(d, kBlockTypeBits));
  const uint32_t high = ReadBits(d, 8);
  const uint32_t middle = ReadBits(d, 8);
  const uint32_t low = ReadBits(d, 8);
  d.blockSize = static_cast<int32_t>(high << 16 | middle << 8 | low);
  d.blockRemaining = d.blockSize;

  switch (d.blockType) {
    case kBlockAligned:
      if (!ReadAlignedTree(d)) return false;
      [[fallthrough]];
    case kBlockVerbatim: {
      const unsigned mainSymbols = MainSymbolsForSlots(d.positionSlots);
      std::memcpy(d.previousMainLengths, d.mainLengths, mainSymbols);
      std::memcpy(d.previousLengthLengths, d.lengthLengths, kNumLengthSymbols);
      if (!ReadTrees(d)) return false;
      break;
    }
    case kBlockUncompressed:
      if (!ReadUncompressedHeader(d)) return false;
      break;
    default:
      return false;
  }
  d.blockState = kBlockStateInside;
  return true;
}

bool DecodeChunk(LzxDecoder& d, const FramedChunk& chunk, uint8_t* destination) {
  d.inputCursor = chunk.data;
  d.inputEnd = chunk.data + chunk.compressedSize + 4;  // the reader may look 4 bytes past the chunk's data
  d.chunkData = chunk.data;
  d.outputCursor = destination;
  const bool ok = d.directOutput ? DecodeChunkTo(d, chunk.uncompressedSize, DirectOutput{destination})
                                 : DecodeChunkTo(d, chunk.uncompressedSize, WindowOutput{});
  ++d.chunkCount;
  return ok;
}

}  // namespace vykcn::lzx
