#pragma once
// The context's memory, slot tables and reset (decompression_context.cpp; creation and
// destruction are declared in decompress.h).
#include <cstddef>
#include <cstdint>

#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// The context block's size: the context, the window, its mirror and slack, and the reservations.
size_t ComputeContextSize(uint32_t windowSize, uint32_t flags);
void InitSlotTables(LzxDecoder& decoder);
// Puts the decoder at the start of a stream; the window and the decode tables stay as they are.
void ResetDecoder(LzxDecoder& decoder);

}  // namespace vykcn::lzx
