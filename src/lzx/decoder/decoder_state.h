#pragma once
// The decompression context and the LZX decoder state inside it. One heap block holds the
// context, then the window, its 257-byte mirror and slack (decompress.cpp).
#include <cstdint>

#include "lzx/decoder/decode_tables.h"
#include "lzx/decoder/decompress.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

struct FastLoops;

constexpr uint32_t kContextSignature = 0x76C3F251;
constexpr int kBlockStateHeader = 1;  // blockState: a block header comes next
constexpr int kBlockStateInside = 2;  // inside a block

struct LzxDecoder {
  uint8_t* window;                 // start of the window, just past the context in the same block
  uint32_t windowSize;             // W
  uint32_t windowMask;             // W - 1
  int32_t repeatedOffsets[3];      // R0, R1, R2
  uint8_t mainLengths[kMaxMainSymbols];
  uint8_t lengthLengths[kNumLengthSymbols];
  uint8_t alignedLengths[kNumAlignedSymbols];
  const uint8_t* inputCursor;      // next input byte not yet in bitBuffer
  const uint8_t* inputEnd;         // chunk data + compressed size + 4
  uint8_t* outputCursor;           // where the current chunk's bytes go
  uint8_t previousMainLengths[kMaxMainSymbols];
  uint8_t previousLengthLengths[kNumLengthSymbols];
  uint32_t bitBuffer;              // next unread bit in bit 31
  int8_t bitCount;                 // buffered bits beyond 16; <= 0 means a refill is due
  uint8_t positionSlots;
  uint8_t headerPending;           // 1 until the stream header bit has been read
  uint8_t inputOverrun;            // sticky: a checked refill found the input exhausted
  int32_t windowPosition;          // window index of the next output byte
  // Window positions below this have been written since the last reset; the rest read as zeros.
  // Writes always run on from windowPosition, which starts at 0, so the written part is a prefix.
  uint32_t windowFilled;
  uint32_t translationSize;        // call translation size; 0 = off
  uint32_t translationOffset;      // stream offset of the next chunk the call translation sees
  uint32_t chunkCount;             // chunks decoded since the last reset
  int32_t blockSize;
  int32_t blockRemaining;
  int32_t blockType;               // 1 verbatim, 2 aligned, 3 uncompressed, 0 none
  int32_t blockState;              // kBlockStateHeader or kBlockStateInside
  uint8_t extraBits[kNumExtraBitsEntries];
  int32_t positionBase[kMaxPositionSlots];

  // Bounds of the caller's source buffer and of the current chunk's data. No read ever leaves
  // [sourceBegin, sourceEnd); an uncompressed block header never steps back before chunkData.
  const uint8_t* sourceBegin;
  const uint8_t* sourceEnd;
  const uint8_t* chunkData;

  // Direct output (direct_output.cpp): a stream that starts afresh at a Decompress call is decoded
  // straight into the destination, which then holds every byte of it from outputBegin on.
  uint8_t directOutput;            // 1 while chunks go straight to the destination
  const FastLoops* fastLoops;      // the fast loop's copy for this processor (fast_loop.h)
  uint8_t* outputBegin;            // stream position 0
  uint8_t* outputWriteEnd;         // the decoder may write up to here (the capacity's end)
  uint8_t* translatedEnd;          // call translation has been undone on the output before this
  uint8_t* lastChunkBegin;         // the last chunk decoded into it (the only one that may not be 32 KiB)

  // ---- Decode tables (decode_tables.h) ----
  // Built at every block header that has code lengths, and read only inside such a block; creating
  // a context leaves them as the heap gives them (everything above is cleared).
  uint16_t mainFast[1 << kMainFastBits];
  uint16_t lengthFast[1 << kLengthFastBits];
  int16_t mainTable[1 << kMainTableBits];
  int16_t lengthTable[1 << kLengthTableBits];
  int16_t mainOverflow[4 * kMaxMainSymbols];
  int16_t lengthOverflow[4 * kNumLengthSymbols];
  uint8_t alignedTable[1 << kAlignedTableBits];
  uint8_t alignedFast[1 << kAlignedTableBits];  // alignedTable and alignedLengths: symbol | length << 3
  uint32_t mainItems[1 << kMainFastBits];       // the item table, built only for direct output
};

struct DecompressionContext {
  uint32_t signature;              // kContextSignature
  uint32_t codecType;              // 1 (LZX) once created
  uint32_t contextFlags;           // create flags plus HeapOwned
  uint32_t parameterFlags;         // CodecParameters::flags
  LzxDecoder decoder;
};

}  // namespace vykcn::lzx
