#include "translation/translation_loader.h"

#include "formats/resource_ids.h"
#include "formats/translation_resource.h"

namespace vykcn {

bool TranslationLoader::Corrupted() {
  messages_.Show("data corrupted", "error");
  return false;
}

bool TranslationLoader::LoadTranslationTable() noexcept {
  ResourceBytes resource;
  if (!resources_.LoadData(kTranslationResourceId, &resource)) return false;
  TranslationResourceParts parts;
  if (!SplitTranslationResource(resource.data, resource.size, &parts)) return Corrupted();

  uint8_t* image = table_.AllocateImage(parts.imageSize);
  if (image == nullptr) return Corrupted();

  size_t producedSize = parts.imageSize;
  if (decoder_.Decode(image, &producedSize, parts.stream, parts.streamSize) != lzx::kStatusOk) return Corrupted();
  if (producedSize != parts.imageSize) {
    messages_.Show("decomp size mismatch", "error");
    return false;
  }

  // The table is filled only after every check has passed, and it checks the image itself too.
  if (table_.FillFromHeldImage(parts.imageSize) != FillResult::kFilled) return Corrupted();
  return true;
}

}  // namespace vykcn
