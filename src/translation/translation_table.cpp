#include "translation/translation_table.h"

#include <cstdlib>
#include <new>

#include "formats/translation_image.h"

namespace vykcn {

uint8_t* TranslationTable::AllocateImage(size_t size) noexcept {
  ReleaseImage();
  image_ = static_cast<uint8_t*>(std::malloc(size != 0 ? size : 1));
  return image_;
}

void TranslationTable::ReleaseImage() noexcept {
  entries_.clear();
  std::free(image_);
  image_ = nullptr;
}

FillResult TranslationTable::FillFromImage(const uint8_t* image, size_t imageSize) noexcept {
  if (!IsWellFormedImage(image, imageSize)) return FillResult::kMalformed;
  try {
    ForEachImageRecord(image, [this](const ImageRecord& record) {
      entries_[record.hash] = record.text.data();  // last record wins
    });
  } catch (const std::bad_alloc&) {
    entries_.clear();
    return FillResult::kOutOfMemory;
  }
  return FillResult::kFilled;
}

}  // namespace vykcn
