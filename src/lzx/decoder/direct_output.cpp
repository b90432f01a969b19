// Direct output: a stream that starts afresh at a Decompress call (every call without
// ContinuousStream) is decoded straight into the caller's destination.
//
// The window decoder (block_decoder.cpp) decodes each chunk at windowPosition in the window and
// copies it out, undoing call translation on the copy. While every chunk of a call decodes, chunk k
// starts at stream position 32768 k, windowPosition is the stream position mod W, and the window
// holds the stream's last W bytes (untranslated) at their positions mod W; a position the stream
// has not reached reads as zero. The destination holds the same bytes at their stream positions,
// so the chunks can be decoded there instead: matches copy from the destination (direct_span.cpp),
// and no window byte is written or copied. Call translation must wait until no match can read a
// chunk any more: it is undone a whole window behind the decoding, and at the end of the call.
//
// A chunk that fails can leave the window in states direct output does not follow (windowPosition
// off the 32 KiB grid, bytes past the block end, the mirror written by an overshooting match), so
// direct output only ever completes chunks that decode. The first chunk that fails is decoded
// again by the window decoder, from the state the chunk started with (ChunkStart) and a window
// rebuilt from the destination; the window decoder then carries on to the end of the call.
#include <algorithm>
#include <cstring>

#include "lzx/call_translation.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decoder.h"

namespace vykcn::lzx {

namespace {

// The state a chunk start keeps, listed once for both directions (ChunkStart and LzxDecoder name
// these fields alike): the block state, and the code lengths that a block header replaces.
template <typename From, typename To>
void CopyBlockState(const From& from, To& to) {
  std::memcpy(to.repeatedOffsets, from.repeatedOffsets, sizeof(to.repeatedOffsets));
  to.blockSize = from.blockSize;
  to.blockRemaining = from.blockRemaining;
  to.blockType = from.blockType;
  to.blockState = from.blockState;
  to.translationSize = from.translationSize;
  to.headerPending = from.headerPending;
  to.inputOverrun = from.inputOverrun;
}

template <typename From, typename To>
void CopyCodeLengths(const From& from, To& to) {
  std::memcpy(to.mainLengths, from.mainLengths, sizeof(to.mainLengths));
  std::memcpy(to.previousMainLengths, from.previousMainLengths, sizeof(to.previousMainLengths));
  std::memcpy(to.lengthLengths, from.lengthLengths, sizeof(to.lengthLengths));
  std::memcpy(to.previousLengthLengths, from.previousLengthLengths, sizeof(to.previousLengthLengths));
  std::memcpy(to.alignedLengths, from.alignedLengths, sizeof(to.alignedLengths));
}

void TakeChunkStart(LzxDecoder& d) {
  CopyBlockState(d, d.chunkStart);
  d.chunkStart.lengthsTaken = 0;
}

}  // namespace

void TakeCodeLengths(LzxDecoder& d) {
  if (d.chunkStart.lengthsTaken) return;
  CopyCodeLengths(d, d.chunkStart);
  d.chunkStart.lengthsTaken = 1;
}

namespace {

// Back to the state the chunk started with. The decode tables are a function of the code lengths
// (every table a completed chunk used was built from them without failing), so they are built
// again when the chunk changed the lengths of a block that goes on.
void RestoreChunkStart(LzxDecoder& d) {
  CopyBlockState(d.chunkStart, d);
  if (!d.chunkStart.lengthsTaken) return;
  CopyCodeLengths(d.chunkStart, d);
  if (d.blockState != kBlockStateInside) return;  // the next header builds what it needs
  if (d.blockType == kBlockVerbatim || d.blockType == kBlockAligned) BuildMainAndLengthTables(d);
  if (d.blockType == kBlockAligned) BuildAlignedTables(d);
}

// The window as the window decoder holds it after the `total` bytes before the failed chunk: the
// stream's last W bytes at their positions mod W, and the mirror of positions 0..256 (zeros past
// what the stream has written). windowPosition and windowFilled are kept up to date all along.
void RebuildWindow(LzxDecoder& d, size_t total) {
  uint8_t* const window = d.window;
  const uint32_t size = d.windowSize;
  if (total >= size) {
    const uint8_t* const oldest = d.outputBegin + (total - size);
    const uint32_t split = static_cast<uint32_t>(total & d.windowMask);  // the oldest byte's position
    std::memcpy(window + split, oldest, size - split);
    std::memcpy(window, oldest + (size - split), split);
  } else {
    std::memcpy(window, d.outputBegin, total);
  }
  const uint32_t mirrored = std::min(d.windowFilled, kWindowMirrorSize);
  std::memcpy(window + size, window, mirrored);
  std::memset(window + size + mirrored, 0, kWindowMirrorSize - mirrored);
  d.pendingRawCount = 0;
}

// Undoes call translation on one chunk of the output, with the stream offset and the 0-based chunk
// index the window decoder would have given it (EmitChunk): no chunk before it failed.
void TranslateChunk(LzxDecoder& d, uint8_t* chunk, uint32_t n) {
  const size_t offset = static_cast<size_t>(chunk - d.outputBegin);
  if (n != 0 && d.translationSize != 0 && offset / kFrameSize < kCallTranslationChunkLimit) {
    UndoCallTranslation(chunk, n, static_cast<uint32_t>(offset), d.translationSize);
  }
  d.translatedEnd = chunk + n;
}

// Undoes call translation on the whole 32 KiB chunks from translatedEnd up to `end`.
void TranslateWholeChunks(LzxDecoder& d, const uint8_t* end) {
  while (end - d.translatedEnd >= static_cast<ptrdiff_t>(kFrameSize)) TranslateChunk(d, d.translatedEnd, kFrameSize);
}

// The chunk failed in direct output: from here on the window decoder takes the call.
void SwitchToWindow(LzxDecoder& d, uint8_t* chunkBegin) {
  RestoreChunkStart(d);
  RebuildWindow(d, static_cast<size_t>(chunkBegin - d.outputBegin));
  TranslateWholeChunks(d, chunkBegin);  // every chunk before a failed one has 32 KiB
  d.directOutput = 0;
}

// An uncompressed block's bytes, from the input to the output (as CopyUncompressed).
bool CopyRawDirect(LzxDecoder& d, uint8_t* out, uint32_t n) {
  const ptrdiff_t available = std::min(d.inputEnd, d.sourceEnd) - d.inputCursor;
  if (available < static_cast<ptrdiff_t>(n)) return false;
  std::memcpy(out, d.inputCursor, n);
  d.inputCursor += n;
  return true;
}

// The chunk's `want` bytes to `out`, block by block as DecodeOutput walks them; false when the
// chunk fails.
bool DecodeOutputDirect(LzxDecoder& d, uint32_t want, uint8_t* out) {
  while (want > 0) {
    if (d.blockState == kBlockStateHeader && !ReadBlockHeader(d)) return false;
    while (d.blockRemaining > 0 && want > 0) {
      const uint32_t n = std::min(static_cast<uint32_t>(d.blockRemaining), want);
      bool ok;
      if (d.blockType == kBlockUncompressed) {
        ok = CopyRawDirect(d, out, n);
      } else if (d.blockType == kBlockVerbatim || d.blockType == kBlockAligned) {
        ok = DecodeCompressedDirect(d, out, n);
      } else {
        ok = false;
      }
      if (!ok) return false;
      d.blockRemaining -= static_cast<int32_t>(n);
      want -= n;
      out += n;
    }
    if (d.blockRemaining == 0) d.blockState = kBlockStateHeader;
  }
  return true;
}

}  // namespace

void BeginDirectOutput(LzxDecoder& d, uint8_t* destination, uint8_t* writeEnd) {
  d.directOutput = 1;
  d.outputBegin = destination;
  d.outputWriteEnd = writeEnd;
  d.translatedEnd = destination;
  d.lastChunkBegin = destination;
  d.lastChunkEnd = destination;
}

uint32_t DecodeChunkDirect(LzxDecoder& d, uint32_t uncompressedSize, const uint8_t* data, uint32_t compressedSize,
                           uint8_t* destination) {
  TakeChunkStart(d);
  d.inputCursor = data;
  d.inputEnd = data + compressedSize + 4;  // the reader may look 4 bytes past the chunk's data
  d.chunkData = data;
  d.outputCursor = destination;
  const uint32_t position = static_cast<uint32_t>(d.windowPosition);
  if (position + uint64_t{uncompressedSize} <= d.windowSize) {
    PrimeBitReader(d);
    if (DecodeOutputDirect(d, uncompressedSize, destination)) {
      // The window decoder's bookkeeping after this chunk (DecodeChunk, EmitChunk).
      if (uncompressedSize != 0) {
        const uint32_t end = position + uncompressedSize;
        d.windowPosition = static_cast<int32_t>(end & d.windowMask);
        d.windowFilled = std::max(d.windowFilled, std::min(end, d.windowSize));
        if (d.translationSize != 0 && d.chunkCount < kCallTranslationChunkLimit) d.translationOffset += uncompressedSize;
      }
      ++d.chunkCount;
      d.lastChunkBegin = destination;
      d.lastChunkEnd = destination + uncompressedSize;
      // No match reaches more than W back: the chunks before that are final.
      const size_t produced = static_cast<size_t>(d.lastChunkEnd - d.outputBegin);
      if (produced > d.windowSize) TranslateWholeChunks(d, d.lastChunkEnd - d.windowSize);
      return uncompressedSize;
    }
  }
  SwitchToWindow(d, destination);
  return DecodeChunk(d, uncompressedSize, data, compressedSize, destination);
}

void EndDirectOutput(LzxDecoder& d) {
  if (!d.directOutput) return;
  // Only the last chunk can have another size than 32 KiB.
  TranslateWholeChunks(d, d.lastChunkBegin);
  TranslateChunk(d, d.lastChunkBegin, static_cast<uint32_t>(d.lastChunkEnd - d.lastChunkBegin));
  d.directOutput = 0;
}

}  // namespace vykcn::lzx
