#pragma once
// The store level's stream: the input, after call translation when asked for, as uncompressed
// blocks. Nothing is searched or coded, so a stream is written at the speed of a copy; it is a
// little larger than the input and read by every decoder of the format.
#include <cstddef>
#include <cstdint>

#include "lzx/encoder/bit_writer.h"

namespace vykcn::lzx {

// Writes `size` bytes (at most 1 GiB) as uncompressed blocks of whole chunks (a shorter one last),
// each with its header and the repeated offsets the decoder then holds, which stay 1: no match
// ever moves them.
ChunkedBitWriter EncodeStoredStream(const uint8_t* data, size_t size, uint32_t callTranslationSize);

}  // namespace vykcn::lzx
