#include "module_reading/translation_container.h"

#include <algorithm>

#include "common/command_error.h"

namespace vykcn::tool {

TranslationResourceParts SplitTranslationResource(const std::vector<uint8_t>& resource, const std::string& what) {
  TranslationResourceParts parts;
  if (!vykcn::SplitTranslationResource(resource.data(), resource.size(), &parts)) {
    throw CommandError(what + ": shorter than the 4-byte size header");
  }
  return parts;
}

std::vector<uint8_t> UnpackTranslationResource(const std::vector<uint8_t>& resource, const std::string& what) {
  const TranslationResourceParts parts = SplitTranslationResource(resource, what);
  // A size field beyond what the chunks can yield fails the same way with a smaller destination.
  std::vector<uint8_t> image(std::min<size_t>(parts.imageSize, FramedStreamOutputBound(parts.stream, parts.streamSize)));
  size_t produced = image.size();
  const int32_t status = DecodeTranslationStream(parts.stream, parts.streamSize, image.data(), &produced);
  if (status != 0) throw CommandError(what + ": data corrupted");
  if (produced != parts.imageSize) {
    throw CommandError(what + ": decompressed to " + std::to_string(produced) + " bytes, header says " +
                       std::to_string(parts.imageSize));
  }
  return image;
}

}  // namespace vykcn::tool
