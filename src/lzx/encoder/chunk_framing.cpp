#include "lzx/encoder/chunk_framing.h"

#include <algorithm>

#include "base/byte_order.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

namespace {

// A standard header's first byte must not be the sized-chunk marker; C is a 16-bit field.
constexpr size_t kStandardChunkLimit = size_t{kSizedChunkMarker} << 8;
constexpr size_t kSizedChunkLimit = size_t{1} << 16;

void PutU16BE(std::vector<uint8_t>& out, size_t value) {
  uint8_t field[2];
  WriteU16BE(field, static_cast<uint16_t>(value));
  out.insert(out.end(), field, field + 2);
}

}  // namespace

bool FrameChunks(const std::vector<uint8_t>& bytes, const std::vector<size_t>& chunkEnds, size_t inputSize,
                 std::vector<uint8_t>& out) {
  out.clear();
  out.reserve(bytes.size() + 2 * chunkEnds.size() + 8);
  size_t begin = 0;
  for (size_t k = 0; k < chunkEnds.size(); ++k) {
    const size_t compressed = chunkEnds[k] - begin;
    const size_t produced = std::min<size_t>(kFrameSize, inputSize - k * kFrameSize);
    if (produced == kFrameSize) {
      if (compressed >= kStandardChunkLimit) return false;
      PutU16BE(out, compressed);
    } else {
      if (compressed >= kSizedChunkLimit) return false;
      out.push_back(kSizedChunkMarker);
      PutU16BE(out, produced);
      PutU16BE(out, compressed);
    }
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(begin),
               bytes.begin() + static_cast<std::ptrdiff_t>(chunkEnds[k]));
    begin = chunkEnds[k];
  }
  out.insert(out.end(), kStreamTrailerSize, 0);
  return true;
}

}  // namespace vykcn::lzx
