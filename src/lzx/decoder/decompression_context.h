#pragma once
// Creation, reset and destruction of a context (decompression_context.cpp; creation and
// destruction are declared in decompress.h).
#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// Puts the decoder at the start of a stream, and ends direct output; the window and the decode
// tables stay as they are.
void ResetDecoder(LzxDecoder& decoder);

}  // namespace vykcn::lzx
