#pragma once
// Call-instruction (0xE8) preprocessing, the inverse of the decoder's per-chunk translation: in
// each of the first 32768 chunks, every 0xE8 byte found by the decoder's scan (below the chunk's
// last 10 bytes, operands skipped) gets its relative 32-bit operand turned into an absolute one
// when the decoder would turn it back.
#include <cstddef>
#include <cstdint>

namespace vykcn::lzx {

void TranslateCallsForEncoding(uint8_t* data, size_t size, uint32_t translation_size);

}  // namespace vykcn::lzx
