#pragma once
// The bit stream of a whole input, before framing.
#include <cstddef>
#include <cstdint>

#include "lzx/encoder/bit_writer.h"
#include "lzx/encoder/compress.h"

namespace vykcn::lzx {

// Codes `size` bytes (at most 1 GiB) with the options' window, a valid one, and call translation.
// With `singleUnitBlocks` every parse unit gets a block of its own.
ChunkedBitWriter EncodeStream(const uint8_t* data, size_t size, const CompressOptions& options,
                              bool singleUnitBlocks);

}  // namespace vykcn::lzx
