#include "formats/translation_resource.h"

#include <algorithm>

#include "base/byte_order.h"
#include "lzx/decoder/chunk_framing.h"

namespace vykcn {

bool SplitTranslationResource(const uint8_t* resource, size_t size, TranslationResourceParts* parts) {
  if (resource == nullptr || size < kResourceHeaderSize) return false;
  *parts = {ReadU32LE(resource), resource + kResourceHeaderSize, size - kResourceHeaderSize};
  return true;
}

lzx::DecompressStatus DecodeTranslationStream(const uint8_t* stream, size_t streamSize, uint8_t* destination,
                                              size_t* produced, uint32_t windowSize) {
  const lzx::CodecParameters parameters{0, windowSize, 0};
  lzx::DecompressionContext* context = nullptr;
  const lzx::DecompressStatus created =
      lzx::CreateDecompressionContext(lzx::kCodecTypeDefault, &parameters, 0, &context);
  if (created != lzx::kStatusOk) {
    *produced = 0;
    return created;
  }
  const lzx::DecompressStatus status = lzx::Decompress(context, destination, produced, stream, streamSize);
  lzx::DestroyDecompressionContext(context);
  return status;
}

size_t FramedStreamOutputBound(const uint8_t* stream, size_t streamSize) {
  lzx::ChunkWalk walk(stream, streamSize);
  lzx::FramedChunk chunk;
  size_t total = 0;
  while (walk.Next(&chunk) == lzx::ChunkWalk::kChunk) total += chunk.uncompressedSize;
  return total;
}

std::vector<uint8_t> JoinTranslationResource(uint32_t imageSize, const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> resource(kResourceHeaderSize + stream.size());
  WriteU32LE(resource.data(), imageSize);
  std::copy(stream.begin(), stream.end(), resource.begin() + kResourceHeaderSize);
  return resource;
}

}  // namespace vykcn
