#include "formats/translation_resource.h"

#include <algorithm>

#include "base/byte_order.h"
#include "lzx/decoder/decompress.h"
#include "lzx/lzx_constants.h"

namespace vykcn {

bool SplitTranslationResource(const uint8_t* resource, size_t size, TranslationResourceParts* parts) {
  if (resource == nullptr || size < kContainerHeaderSize) return false;
  *parts = {ReadU32LE(resource), resource + kContainerHeaderSize, size - kContainerHeaderSize};
  return true;
}

int32_t DecodeTranslationStream(const uint8_t* stream, size_t streamSize, uint8_t* destination,
                                size_t* produced, uint32_t windowSize) {
  const lzx::CodecParameters parameters{0, windowSize, 0};
  lzx::DecompressionContext* context = nullptr;
  const int32_t created = lzx::CreateDecompressionContext(lzx::kCodecTypeDefault, &parameters, 0, &context);
  if (created != lzx::kStatusOk) return created;
  const int32_t status = lzx::Decompress(context, destination, produced, stream, streamSize);
  lzx::DestroyDecompressionContext(context);
  return status;
}

size_t FramedStreamOutputBound(const uint8_t* stream, size_t streamSize) {
  // The decoder's walk over the chunk headers (lzx/decoder/chunk_framing.cpp), summing outputs.
  size_t remaining = streamSize > lzx::kStreamTrailerSize ? streamSize - lzx::kStreamTrailerSize : 0;
  const uint8_t* p = stream;
  size_t total = 0;
  while (remaining != 0) {
    size_t compressedSize;
    if (p[0] == lzx::kSizedChunkMarker) {
      if (remaining < lzx::kSizedChunkHeaderSize) break;
      total += ReadU16BE(p + 1);
      compressedSize = ReadU16BE(p + 3);
      remaining -= lzx::kSizedChunkHeaderSize;
      p += lzx::kSizedChunkHeaderSize;
      if (compressedSize < remaining) remaining = compressedSize;
    } else {
      if (remaining < lzx::kStandardChunkHeaderSize) break;
      total += lzx::kFrameSize;
      compressedSize = ReadU16BE(p);
      remaining -= lzx::kStandardChunkHeaderSize;
      p += lzx::kStandardChunkHeaderSize;
    }
    if (compressedSize > remaining) break;
    p += compressedSize;
    remaining -= compressedSize;
  }
  return total;
}

std::vector<uint8_t> JoinTranslationResource(uint32_t imageSize, const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> resource(kContainerHeaderSize + stream.size());
  WriteU32LE(resource.data(), imageSize);
  std::copy(stream.begin(), stream.end(), resource.begin() + kContainerHeaderSize);
  return resource;
}

}  // namespace vykcn
