#pragma once
// Call translation: the x86 preprocessing of LZX streams. In each of the first 32768 chunks, the
// 32-bit operand after an 0xE8 byte is stored as an absolute target (relative + stream offset)
// instead of a relative one, so that repeated calls to one target repeat as bytes. The scan runs
// from a chunk's start, skips the four operand bytes after each 0xE8 and stops 10 bytes before the
// chunk's end; the call translation size from the stream header bounds which operands change.
#include <cstddef>
#include <cstdint>

namespace vykcn::lzx {

// Encoding: turns the relative operands of a whole input into absolute ones, chunk by chunk,
// wherever the decoder will turn them back. A size of 0 leaves the input alone.
void ApplyCallTranslation(uint8_t* data, size_t size, uint32_t callTranslationSize);

// Decoding: turns the absolute operands of one chunk's output, which starts at stream offset
// `chunkOffset`, back into relative ones.
void UndoCallTranslation(uint8_t* chunk, uint32_t n, uint32_t chunkOffset, uint32_t callTranslationSize);

}  // namespace vykcn::lzx
