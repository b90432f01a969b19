#include "formats/translation_image.h"

#include <algorithm>

namespace vykcn {

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
