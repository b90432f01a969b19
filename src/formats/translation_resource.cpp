#include "formats/translation_resource.h"

#include <algorithm>
#include <stdexcept>

#include "base/byte_order.h"
#include "lzx/decoder/decompress.h"
#include "lzx/encoder/compress.h"

namespace vykcn {

bool SplitTranslationResource(const uint8_t* resource, size_t size, TranslationResourceParts* parts) {
  if (resource == nullptr || size < kContainerHeaderSize) return false;
  *parts = {ReadU32LE(resource), resource + kContainerHeaderSize, size - kContainerHeaderSize};
  return true;
}

int32_t DecodeTranslationStream(const uint8_t* stream, size_t streamSize, uint8_t* destination,
                                size_t* produced) {
  const lzx::CodecParameters parameters{0, kTranslationWindowSize, 0};
  lzx::DecompressionContext* context = nullptr;
  const int32_t created = lzx::CreateDecompressionContext(lzx::kCodecTypeDefault, &parameters, 0, &context);
  if (created != lzx::kStatusOk) return created;
  const int32_t status = lzx::Decompress(context, destination, produced, stream, streamSize);
  lzx::DestroyDecompressionContext(context);
  return status;
}

std::vector<uint8_t> PackTranslationResource(const std::vector<uint8_t>& image,
                                             uint32_t callTranslationSize) {
  if (image.size() > UINT32_MAX) {
    throw std::length_error("image too large for the resource's 32-bit size field");
  }
  lzx::CompressOptions options;
  options.windowSize = kTranslationWindowSize;
  options.callTranslationSize = callTranslationSize;
  const std::vector<uint8_t> stream = lzx::CompressLzx(image.data(), image.size(), options);
  std::vector<uint8_t> resource(kContainerHeaderSize + stream.size());
  WriteU32LE(resource.data(), static_cast<uint32_t>(image.size()));
  std::copy(stream.begin(), stream.end(), resource.begin() + kContainerHeaderSize);
  return resource;
}

}  // namespace vykcn
