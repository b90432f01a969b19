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
#include "base/zero_byte.h"

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

// Walks the count and every record, terminator included, checking each against imageSize, and
// calls visit(const ImageRecord&) for each record in image order. On a malformed image the records
// before the bad one have been visited: a caller keeps nothing unless the check is well-formed.
// Bytes after the last record are ignored.
template <typename Visit>
ImageCheck WalkTranslationImage(const uint8_t* image, size_t imageSize, Visit&& visit) {
  ImageCheck check;
  if (image == nullptr || imageSize < kImageCountSize) return check;
  check.hasCount = true;
  check.recordCount = ReadU32LE(image);
  // Every record takes at least 5 bytes, so the walk ends within imageSize / 5 steps.
  size_t cursor = kImageCountSize;
  for (uint32_t i = 0; i < check.recordCount; ++i) {
    check.badRecord = i;
    if (imageSize - cursor < kRecordHashSize + 1) return check;
    const uint8_t* text = image + cursor + kRecordHashSize;
    const uint8_t* terminator = FindZeroByte(text, imageSize - cursor - kRecordHashSize);
    if (terminator == nullptr) return check;
    const size_t length = static_cast<size_t>(terminator - text);
    visit(ImageRecord{ReadU32LE(image + cursor), std::string_view(reinterpret_cast<const char*>(text), length)});
    cursor += kRecordHashSize + length + 1;
  }
  check.badRecord = 0;
  check.wellFormed = true;
  return check;
}

inline ImageCheck CheckTranslationImage(const uint8_t* image, size_t imageSize) {
  return WalkTranslationImage(image, imageSize, [](const ImageRecord&) {});
}

// The image of `records`, in the given order. Texts must not hold a 0 byte.
std::vector<uint8_t> WriteTranslationImage(const std::vector<ImageRecord>& records);

}  // namespace vykcn
