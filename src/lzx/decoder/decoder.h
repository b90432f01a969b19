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

// The item table of direct output's fast loop: one 32-bit entry per kMainFastBits-bit prefix of
// the bit stream, which gives a whole item where the prefix holds all of its codes:
//   bits 0-5    the bits the item takes from the stream up to an aligned code: the main code's,
//               the length code's for a match of length header 7, and the footer's verbatim bits
//   bit 6       a match (else a literal)
//   bit 7       unresolved: the main code is longer than the prefix, or the length code does not
//               fit in what the main code leaves of it; the item is then read with mainFast
//   bits 8-15   the literal, or the match's position slot
//   bits 16-24  the match length (2..257)
//   bits 25-29  the footer's verbatim bits: extraBits[slot], less the 3 an aligned code gives
//   bit 30      an aligned code follows them (aligned blocks, footers of 3 bits or more)
constexpr uint32_t kItemBitsMask = 0x3F;
constexpr uint32_t kItemMatch = 1u << 6;
constexpr uint32_t kItemUnresolved = 1u << 7;
constexpr unsigned kItemValueShift = 8;
constexpr unsigned kItemLengthShift = 16;
constexpr unsigned kItemFooterShift = 25;
constexpr uint32_t kItemAligned = 1u << 30;

// Bytes of an uncompressed block that went straight from the source to the caller and still have
// to be copied into the window at `position`.
struct PendingRaw {
  uint32_t position;
  uint32_t length;
  const uint8_t* source;
};

// What decoding a chunk may change besides the window, the output and the decode tables: taken at
// the start of every chunk decoded straight into the destination, so that a chunk this fails on
// can be decoded again, in the window, from where it started (see direct_output.cpp). The code
// lengths are taken only when the chunk reads a block header, before it changes them.
struct ChunkStart {
  int32_t repeatedOffsets[3];
  int32_t blockSize;
  int32_t blockRemaining;
  int32_t blockType;
  int32_t blockState;
  uint32_t translationSize;
  uint8_t headerPending;
  uint8_t inputOverrun;
  uint8_t lengthsTaken;
  uint8_t mainLengths[kMaxMainSymbols];
  uint8_t previousMainLengths[kMaxMainSymbols];
  uint8_t lengthLengths[kNumLengthSymbols];
  uint8_t previousLengthLengths[kNumLengthSymbols];
  uint8_t alignedLengths[kNumAlignedSymbols];
};

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

  // Direct output (direct_output.cpp): a stream that starts afresh at a Decompress call is decoded
  // straight into the destination, which then holds every byte of it from outputBegin on. Matches
  // copy from there, no window copy is made, and call translation is undone a whole window behind
  // the decoding, once no match can read a chunk any more. The first chunk that fails is decoded
  // again in the window, and the rest of the call stays there.
  uint8_t directOutput;            // 1 while chunks go straight to the destination
  uint8_t fastLoopBmi2;            // 1: the fast loop's BMI2 copy runs (see ProcessorHasBmi2)
  uint8_t* outputBegin;            // stream position 0
  uint8_t* outputWriteEnd;         // the decoder may write up to here (the capacity's end)
  uint8_t* translatedEnd;          // call translation has been undone on the output before this
  uint8_t* lastChunkBegin;         // the last chunk decoded straight into it (the only one that
  uint8_t* lastChunkEnd;           // can be shorter or longer than 32 KiB)
  ChunkStart chunkStart;

  // ---- Decode tables ----
  // Built from the code lengths at every block header that has them, and read only inside such a
  // block; creating a context leaves them as the heap gives them (everything above is cleared).
  // The fast tables of the main and length trees; mainTable and lengthTable hold only their
  // longer codes, with the overflow trees.
  uint16_t mainFast[1 << kMainFastBits];
  uint16_t lengthFast[1 << kLengthFastBits];
  int16_t mainTable[1 << kMainTableBits];
  int16_t lengthTable[1 << kLengthTableBits];
  int16_t mainOverflow[4 * kMaxMainSymbols];
  int16_t lengthOverflow[4 * kNumLengthSymbols];
  uint8_t alignedTable[1 << kAlignedTableBits];
  // alignedTable and alignedLengths in one lookup for the span decoders: symbol | length << 3.
  uint8_t alignedFast[1 << kAlignedTableBits];
  // Built with the main and length tables while chunks go to the destination (BuildItemTable).
  uint32_t mainItems[1 << kMainFastBits];
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
// The item table from mainFast and lengthFast, for a verbatim or (`aligned`) an aligned block.
void BuildItemTable(LzxDecoder& decoder, bool aligned);

// ---- trees (tree_reader.cpp) ----
bool ReadCodeLengths(LzxDecoder& decoder, unsigned count, const uint8_t* previous, uint8_t* current);
bool ReadTrees(LzxDecoder& decoder);
bool ReadAlignedTree(LzxDecoder& decoder);
// The decode tables from the code lengths the decoder holds (as the block header built them).
bool BuildAlignedTables(LzxDecoder& decoder);
bool BuildMainAndLengthTables(LzxDecoder& decoder);

// ---- blocks (block_decoder.cpp) ----
// Reads a block header (and, first in a stream, the stream header); false when the chunk fails.
bool ReadBlockHeader(LzxDecoder& decoder);
// Decodes the current chunk's `want` bytes in the window and copies them to outputCursor; returns
// the bytes produced, -1 when the chunk fails.
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

// ---- direct output (direct_output.cpp, direct_span.cpp) ----
// Starts a call's direct output: `destination` is stream position 0, and the decoder may write up
// to `writeEnd` (the capacity's end, or past it into slack the caller provides).
void BeginDirectOutput(LzxDecoder& decoder, uint8_t* destination, uint8_t* writeEnd);
// Decodes one chunk (as DecodeChunk) straight to `destination`, the stream's current end. A chunk
// that fails there is decoded again in the window, which the decoder then keeps using.
uint32_t DecodeChunkDirect(LzxDecoder& decoder, uint32_t uncompressedSize, const uint8_t* data,
                           uint32_t compressedSize, uint8_t* destination);
// Keeps the code lengths the chunk started with, once per chunk, before a verbatim or aligned
// block header changes them (an uncompressed one leaves them, so a run of raw chunks copies none).
void TakeCodeLengths(LzxDecoder& decoder);
// Undoes call translation on the chunks still waiting for it; the call's output is then final.
void EndDirectOutput(LzxDecoder& decoder);
// Decodes `n` bytes of the current verbatim or aligned block to `output` (direct output); false
// when the chunk fails. Reads and updates the bit reader and the repeated offsets like the window's
// span decoders.
bool DecodeCompressedDirect(LzxDecoder& decoder, uint8_t* output, uint32_t n);
// Whether the processor has BMI2, for the fast loop's second copy (asked once; false off x86-64).
bool ProcessorHasBmi2();

// ---- framing (chunk_framing.cpp) ----
// Decodes one chunk of U output bytes from `data` (C bytes) to `destination`; returns the bytes
// produced, 0 when the chunk failed.
uint32_t DecodeChunk(LzxDecoder& decoder, uint32_t uncompressedSize, const uint8_t* data,
                     uint32_t compressedSize, uint8_t* destination);

}  // namespace vykcn::lzx
