#include "translation_container.h"

#include <algorithm>

#include "commands.h"
#include "lzx/lzx_compress.h"
#include "lzx/lzx_decompress.h"
#include "translation/translation_image.h"

namespace vykcn::tool {

namespace {
constexpr uint32_t kWindowSize = 262144;
constexpr size_t kHeaderSize = 4;
}  // namespace

std::vector<uint8_t> PackTranslationResource(const std::vector<uint8_t>& image, uint32_t translation_size) {
  if (image.size() > UINT32_MAX) throw CommandError("image too large for the resource's 32-bit size field");
  lzx::CompressOptions options;
  options.translationSize = translation_size;
  const std::vector<uint8_t> stream = lzx::CompressLzx(image.data(), image.size(), options);
  std::vector<uint8_t> resource(kHeaderSize + stream.size());
  WriteU32LE(resource.data(), static_cast<uint32_t>(image.size()));
  std::copy(stream.begin(), stream.end(), resource.begin() + kHeaderSize);
  return resource;
}

std::vector<uint8_t> UnpackTranslationResource(const std::vector<uint8_t>& resource, const std::string& what) {
  if (resource.size() < kHeaderSize) throw CommandError(what + ": shorter than the 4-byte size header");
  const uint32_t expected = ReadU32LE(resource.data());
  const CodecParameters parameters{0, kWindowSize, 0};
  DecompressionContext* context = nullptr;
  if (CreateDecompressionContext(kCodecTypeDefault, &parameters, 0, &context) != kStatusOk) {
    throw CommandError("cannot create a decompression context");
  }
  std::vector<uint8_t> image(expected);
  size_t produced = image.size();
  const int32_t status = Decompress(context, image.data(), &produced, resource.data() + kHeaderSize,
                                    resource.size() - kHeaderSize);
  DestroyDecompressionContext(context);
  if (status != kStatusOk) throw CommandError(what + ": data corrupted");
  if (produced != expected) {
    throw CommandError(what + ": decompressed to " + std::to_string(produced) + " bytes, header says " +
                       std::to_string(expected));
  }
  return image;
}

TranslationResourceParts SplitTranslationResource(const std::vector<uint8_t>& resource, const std::string& what) {
  if (resource.size() < kHeaderSize) throw CommandError(what + ": shorter than the 4-byte size header");
  return {ReadU32LE(resource.data()), resource.data() + kHeaderSize, resource.size() - kHeaderSize};
}

}  // namespace vykcn::tool
