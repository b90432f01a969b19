#include "common/translation_packing.h"

#include <stdexcept>


namespace vykcn::tool {

std::vector<uint8_t> PackTranslationResource(const std::vector<uint8_t>& image, uint32_t callTranslationSize,
                                             uint32_t windowSize, lzx::CompressionLevel level) {
  if (image.size() > UINT32_MAX) {
    throw std::length_error("image too large for the resource's 32-bit size field");
  }
  lzx::CompressOptions options;
  options.windowSize = windowSize;
  options.callTranslationSize = callTranslationSize;
  options.level = level;
  return JoinTranslationResource(static_cast<uint32_t>(image.size()),
                                 lzx::CompressLzx(image.data(), image.size(), options));
}

}  // namespace vykcn::tool
