#include "translation/translation_loader.h"

#include <cstdlib>

#include "module/resource_ids.h"
#include "translation/translation_image.h"

namespace vykcn {
namespace {

constexpr uint32_t kContainerHeaderSize = 4;  // u32 decompressed size before the stream

}  // namespace

bool TranslationLoader::Corrupted() {
  messages_.Show("data corrupted", "error");
  return false;
}

void TranslationLoader::ReleaseImage() noexcept {
  std::free(image_);
  image_ = nullptr;
}

bool TranslationLoader::LoadTranslationTable() noexcept {
  ResourceBytes resource;
  if (!resources_.LoadData(kTranslationResourceId, &resource)) return false;
  if (resource.size < kContainerHeaderSize) return Corrupted();

  // An earlier image belongs to a failed load or to one of zero records: nothing points into it.
  ReleaseImage();
  const uint32_t expectedSize = ReadU32LE(resource.data);
  image_ = static_cast<uint8_t*>(std::malloc(expectedSize != 0 ? expectedSize : 1));
  if (image_ == nullptr) return Corrupted();

  void* context = nullptr;
  if (decoder_.Create(&context) < 0) return Corrupted();
  uint64_t producedSize = expectedSize;
  const int32_t status = decoder_.Decompress(context, image_, &producedSize,
                                             resource.data + kContainerHeaderSize,
                                             resource.size - kContainerHeaderSize);
  decoder_.Destroy(context);
  if (status != 0) return Corrupted();
  if (producedSize != expectedSize) {
    messages_.Show("decomp size mismatch", "error");
    return false;
  }

  // The table is filled only after every check has passed, and it checks the image itself too.
  if (table_.FillFromImage(image_, expectedSize) != FillResult::kFilled) return Corrupted();
  return true;
}

}  // namespace vykcn
