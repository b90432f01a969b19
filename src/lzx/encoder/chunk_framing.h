#pragma once
// The chunk framing around the encoder's bit stream. Every chunk but a short last one carries
// 32768 output bytes and has a 2-byte big-endian compressed size; a last chunk shorter than that
// has the sized header 0xFF, U (2 bytes), C (2 bytes). Five zero bytes end the stream.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vykcn::lzx {

// Frames the compressed bytes of a stream for `inputSize` output bytes, whose chunks end at
// `chunkEnds` in `bytes`, into `out`. False when a chunk is too large for its header.
bool FrameChunks(const std::vector<uint8_t>& bytes, const std::vector<size_t>& chunkEnds, size_t inputSize,
                 std::vector<uint8_t>& out);

}  // namespace vykcn::lzx
