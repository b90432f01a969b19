#include "translation/translation_table.h"

#include <cstring>
#include <new>

#include "translation/translation_image.h"

namespace vykcn {

bool IsWellFormedImage(const uint8_t* image, size_t imageSize) {
  if (image == nullptr || imageSize < kImageCountSize) return false;
  const uint32_t count = ReadU32LE(image);
  // Each record takes at least 5 bytes, so a count larger than this cannot fit.
  if (count > (imageSize - kImageCountSize) / (kRecordHashSize + 1)) return false;
  size_t cursor = kImageCountSize;
  for (uint32_t i = 0; i < count; ++i) {
    if (imageSize - cursor < kRecordHashSize + 1) return false;
    cursor += kRecordHashSize;
    const void* terminator = std::memchr(image + cursor, 0, imageSize - cursor);
    if (terminator == nullptr) return false;
    cursor = static_cast<size_t>(static_cast<const uint8_t*>(terminator) - image) + 1;
  }
  return true;
}

FillResult TranslationTable::FillFromImage(const uint8_t* image, size_t imageSize) noexcept {
  if (!IsWellFormedImage(image, imageSize)) return FillResult::kMalformed;
  const uint32_t count = ReadU32LE(image);
  const uint8_t* cursor = image + kImageCountSize;
  try {
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t hash = ReadU32LE(cursor);
      const char* text = reinterpret_cast<const char*>(cursor + kRecordHashSize);
      entries_[hash] = text;  // last record wins
      cursor += kRecordHashSize + std::strlen(text) + 1;
    }
  } catch (const std::bad_alloc&) {
    entries_.clear();
    return FillResult::kOutOfMemory;
  }
  return FillResult::kFilled;
}

}  // namespace vykcn
