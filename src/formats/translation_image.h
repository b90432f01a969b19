#pragma once
// The decompressed translation image (the content of resource 102):
//   u32 record count, then per record: u32 hash, the translation's bytes, one 0 byte.
// Little-endian, unaligned, no padding. This file is the image's only reader and writer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/byte_order.h"

namespace vykcn {

constexpr size_t kImageCountSize = 4;   // record count at offset 0
constexpr size_t kRecordHashSize = 4;   // hash at the start of each record

struct ImageRecord {
  uint32_t hash;
  std::string_view text;  // into the image; the 0 byte follows it
};

struct ImageCheck {
  bool wellFormed = false;
  bool hasCount = false;      // false: the image is shorter than its record count
  uint32_t recordCount = 0;   // as stored
  uint32_t badRecord = 0;     // when not well-formed but counted: the first record that runs past the end
};

// Walks the count and every record, terminator included, within imageSize bytes.
ImageCheck CheckTranslationImage(const uint8_t* image, size_t imageSize);

inline bool IsWellFormedImage(const uint8_t* image, size_t imageSize) {
  return CheckTranslationImage(image, imageSize).wellFormed;
}

// Calls visit(ImageRecord) for each record in image order. Only for a well-formed image.
template <typename Visit>
void ForEachImageRecord(const uint8_t* image, Visit&& visit) {
  const uint32_t count = ReadU32LE(image);
  const uint8_t* cursor = image + kImageCountSize;
  for (uint32_t i = 0; i < count; ++i) {
    const char* text = reinterpret_cast<const char*>(cursor + kRecordHashSize);
    const size_t length = std::strlen(text);
    visit(ImageRecord{ReadU32LE(cursor), std::string_view(text, length)});
    cursor += kRecordHashSize + length + 1;
  }
}

// The image of `records`, in the given order. Texts must not hold a 0 byte.
std::vector<uint8_t> WriteTranslationImage(const std::vector<ImageRecord>& records);

}  // namespace vykcn
