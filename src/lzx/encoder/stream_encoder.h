#pragma once
// The bit stream of a whole input, before framing.
#include <cstddef>
#include <cstdint>

#include "lzx/encoder/bit_writer.h"
#include "lzx/encoder/compress.h"
#include "lzx/encoder/encoder_effort.h"

namespace vykcn::lzx {

// Codes `size` bytes (at most 1 GiB) with the options' window, a valid one, and call translation,
// searching as `effort` says (the options' level is not read). With `singleUnitBlocks` every parse
// unit gets a block of its own.
ChunkedBitWriter EncodeStream(const uint8_t* data, size_t size, const CompressOptions& options,
                              const EncoderEffort& effort, bool singleUnitBlocks);

}  // namespace vykcn::lzx
