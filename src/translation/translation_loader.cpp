#include "translation/translation_loader.h"

#include "formats/resource_ids.h"

namespace vykcn {

LoadStatus LoadTranslationResource(const uint8_t* resource, size_t size, TranslationTable& table,
                                   StreamDecode decode) noexcept {
  TranslationResourceParts parts;
  if (!SplitTranslationResource(resource, size, &parts)) return LoadStatus::kShortResource;
  uint8_t* image = table.AllocateImage(parts.imageSize);
  if (image == nullptr) return LoadStatus::kOutOfMemory;
  size_t produced = parts.imageSize;
  switch (decode(parts.stream, parts.streamSize, image, &produced, kTranslationWindowSize)) {
    case lzx::kStatusOk:
      break;
    case lzx::kStatusOutOfMemory:
      return LoadStatus::kOutOfMemory;
    default:
      return LoadStatus::kDecodeFailed;
  }
  if (produced != parts.imageSize) return LoadStatus::kSizeMismatch;
  return table.FillFromImage(image, parts.imageSize);
}

const char* LoadFailureMessage(LoadStatus status) {
  switch (status) {
    case LoadStatus::kLoaded:
    case LoadStatus::kNoResource:
      return nullptr;
    case LoadStatus::kSizeMismatch:
      return "decomp size mismatch";
    case LoadStatus::kShortResource:
    case LoadStatus::kOutOfMemory:
    case LoadStatus::kDecodeFailed:
    case LoadStatus::kMalformedImage:
      break;
  }
  return "data corrupted";
}

LoadStatus TranslationLoader::LoadTranslationTable() noexcept {
  ResourceBytes resource;
  const LoadStatus status = resources_.LoadData(kTranslationResourceId, &resource)
                                ? LoadTranslationResource(resource.data, resource.size, table_, decode_)
                                : LoadStatus::kNoResource;
  if (const char* message = LoadFailureMessage(status)) messages_.Show(message, "error");
  return status;
}

}  // namespace vykcn
