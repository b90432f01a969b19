#pragma once
// The one door of the tests, the fuzz targets and the benchmarks into the decoder: the context's
// type, and with it every part of the decoder's state, and what they do to a context from outside
// (decoder_testing.cpp, which the module never links: nothing it runs calls these).
#include <cstdint>

#include "lzx/decoder/decompress.h"
#include "lzx/decoder/decompression_context.h"

namespace vykcn::lzx {

// Makes `context` run the fast loop's baseline copy, whatever the processor offers.
void UseBaselineFastLoop(DecompressionContext* context);
// Sets the window and its mirror to `byte`, as a dirty heap block or an earlier stream leaves them.
void FillWindow(DecompressionContext* context, uint8_t byte);

}  // namespace vykcn::lzx
