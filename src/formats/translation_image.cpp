#include "formats/translation_image.h"

#include <algorithm>

namespace vykcn {

ImageCheck CheckTranslationImage(const uint8_t* image, size_t imageSize) {
  ImageCheck check;
  if (image == nullptr || imageSize < kImageCountSize) return check;
  check.hasCount = true;
  check.recordCount = ReadU32LE(image);
  // Every record takes at least 5 bytes, so the walk ends within imageSize / 5 steps.
  size_t cursor = kImageCountSize;
  for (uint32_t i = 0; i < check.recordCount; ++i) {
    check.badRecord = i;
    if (imageSize - cursor < kRecordHashSize + 1) return check;
    cursor += kRecordHashSize;
    const void* terminator = std::memchr(image + cursor, 0, imageSize - cursor);
    if (terminator == nullptr) return check;
    cursor = static_cast<size_t>(static_cast<const uint8_t*>(terminator) - image) + 1;
  }
  check.badRecord = 0;
  check.wellFormed = true;
  return check;
}

std::vector<uint8_t> WriteTranslationImage(const std::vector<ImageRecord>& records) {
  size_t size = kImageCountSize;
  for (const ImageRecord& record : records) size += kRecordHashSize + record.text.size() + 1;
  std::vector<uint8_t> image(size);
  WriteU32LE(image.data(), static_cast<uint32_t>(records.size()));
  uint8_t* cursor = image.data() + kImageCountSize;
  for (const ImageRecord& record : records) {
    WriteU32LE(cursor, record.hash);
    cursor = std::copy(record.text.begin(), record.text.end(), cursor + kRecordHashSize);
    *cursor++ = 0;
  }
  return image;
}

}  // namespace vykcn
