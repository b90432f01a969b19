#pragma once
// The decompression context and the LZX decoder state inside it, and the decoder's internal
// operations. One heap block holds the context, then the window, its 257-byte mirror and slack.
#include <cstddef>
#include <cstdint>

#include "lzx/lzx_constants.h"
#include "lzx/decoder/decompress.h"

namespace vykcn::lzx {

// Decode tables. A tree is looked up in a fast table of 2^fastBits entries: symbol | code length
// << kFastLengthShift for a code of up to fastBits bits, kFastTableSlow for the prefix of a longer
// code. Those go through a narrower table (tableBits) and its overflow trees, see DecodeSymbol.
constexpr unsigned kMainFastBits = 12;
constexpr unsigned kMainTableBits = 10;
constexpr unsigned kLengthFastBits = 10;
constexpr unsigned kLengthTableBits = 8;
constexpr unsigned kPretreeFastBits = 8;
constexpr unsigned kPretreeTableBits = 8;
constexpr unsigned kAlignedTableBits = kMaxAlignedCodeLength;  // every aligned code fits
constexpr uint16_t kFastTableSlow = 0x8000;
constexpr unsigned kFastLengthShift = 10;
constexpr uint16_t kFastSymbolMask = (1u << kFastLengthShift) - 1;
constexpr unsigned kMaxPendingRaw = 16;

// Bytes of an uncompressed block that went straight from the source to the caller and still have
// to be copied into the window at `position`.
struct PendingRaw {
  uint32_t position;
  uint32_t length;
  const uint8_t* source;
};

struct LzxDecoder {
  uint8_t* window;                 // start of the window, just past the context in the same block
  uint32_t windowSize;             // W
  uint32_t windowMask;             // W - 1
  int32_t repeatedOffsets[3];      // R0, R1, R2

  int16_t mainTable[1 << kMainTableBits];
  int16_t lengthTable[1 << kLengthTableBits];
  uint8_t mainLengths[kMaxMainSymbols];
  uint8_t lengthLengths[kNumLengthSymbols];
  uint8_t alignedTable[1 << kAlignedTableBits];
  uint8_t alignedLengths[kNumAlignedSymbols];
  // alignedTable and alignedLengths in one lookup for the span decoders: symbol | length << 3.
  uint8_t alignedFast[1 << kAlignedTableBits];
  int16_t mainOverflow[4 * kMaxMainSymbols];
  int16_t lengthOverflow[4 * kNumLengthSymbols];

  const uint8_t* inputCursor;      // next input byte not yet in bitBuffer
  const uint8_t* inputEnd;         // chunk data + compressed size + 4
  uint8_t* outputCursor;           // where the current chunk's bytes are copied

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
  int32_t blockState;              // 1 header next, 2 inside a block

  uint8_t extraBits[kNumExtraBitsEntries];
  int32_t positionBase[kMaxPositionSlots];

  // The fast tables of the main and length trees; mainTable and lengthTable hold only their
  // longer codes.
  uint16_t mainFast[1 << kMainFastBits];
  uint16_t lengthFast[1 << kLengthFastBits];

  // Bounds of the caller's source buffer and of the current chunk's data. No read ever leaves
  // [sourceBegin, sourceEnd); an uncompressed block header never steps back before chunkData.
  const uint8_t* sourceBegin;
  const uint8_t* sourceEnd;
  const uint8_t* chunkData;

  // Uncompressed-block bytes are copied to the caller at once and into the window only when
  // something reads the window: a compressed span, the output copy of a chunk that also holds
  // decoded bytes, or the next call of a continuous stream. A stream of raw chunks (incompressible
  // data) is thus copied once, not twice. The pending ranges lie in consecutive window positions,
  // oldest first, and point into the current call's source.
  PendingRaw pendingRaw[kMaxPendingRaw];
  uint32_t pendingRawCount;
  uint8_t chunkUsesWindow;         // a compressed span ran in the current chunk
};

struct DecompressionContext {
  uint32_t signature;              // kContextSignature
  uint32_t codecType;              // 1 (LZX) once created
  uint32_t contextFlags;           // create flags plus HeapOwned
  uint32_t parameterFlags;         // CodecParameters::flags
  LzxDecoder decoder;
};

constexpr uint32_t kContextSignature = 0x76C3F251;
constexpr int kBlockStateHeader = 1;
constexpr int kBlockStateInside = 2;

// ---- context (decompression_context.cpp) ----
size_t ComputeContextSize(uint32_t windowSize, uint32_t flags);
void InitSlotTables(LzxDecoder& decoder);
void ResetDecoder(LzxDecoder& decoder);

// ---- Huffman tables (huffman_table.cpp) ----
// The decode tables of the pretree, main and length trees, which differ only in size: the fast
// table, and the narrow table with its overflow trees (4 entries per symbol are enough) holding
// only the codes longer than fastBits (tableBits <= fastBits). Accepts a complete code, and an
// empty one (every lookup gives symbol 0 and no bits); false for any other code, or a length
// above 16.
bool BuildDecodeTables(unsigned symbolCount, const uint8_t* lengths, unsigned fastBits, uint16_t* fast,
                       unsigned tableBits, int16_t* table, int16_t* overflow);
// The aligned-offset table (kAlignedTableBits wide, one symbol per entry). Its code space is
// summed in 16 bits, so a code over-subscribed by a multiple of the whole space passes that test,
// and unless a code then runs past the table's end, later symbols overwrite earlier ones.
bool BuildAlignedTable(const uint8_t* lengths, uint8_t* table);

// ---- trees (tree_reader.cpp) ----
bool ReadCodeLengths(LzxDecoder& decoder, unsigned count, const uint8_t* previous, uint8_t* current);
bool ReadTrees(LzxDecoder& decoder);
bool ReadAlignedTree(LzxDecoder& decoder);

// ---- blocks (block_decoder.cpp) ----
int32_t DecodeOutput(LzxDecoder& decoder, int32_t want);

// ---- deferred raw bytes (pending_raw.cpp) ----
void AddPendingRaw(LzxDecoder& decoder, uint32_t position, uint32_t length, const uint8_t* source);
// Copies every pending range into the window (and the mirror, below 257).
void FlushPendingRaw(LzxDecoder& decoder);

// ---- output (chunk_output.cpp) ----
// Copies a chunk's `count` bytes from `source` to outputCursor and undoes call translation there
// when it is on and the chunk is below kCallTranslationChunkLimit.
void EmitChunk(LzxDecoder& decoder, uint32_t count, const uint8_t* source);
// Undoes call translation on `n` output bytes at translationOffset, and moves that offset on.
void TranslateCalls(LzxDecoder& decoder, uint8_t* data, uint32_t n);

// ---- framing (chunk_framing.cpp) ----
// Decodes one chunk of U output bytes from `data` (C bytes) to `destination`; returns the bytes
// produced, 0 when the chunk failed.
uint32_t DecodeChunk(LzxDecoder& decoder, uint32_t uncompressedSize, const uint8_t* data,
                     uint32_t compressedSize, uint8_t* destination);

}  // namespace vykcn::lzx
