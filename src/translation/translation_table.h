#pragma once
// The map from a host text's SubtitleHash to its translation inside the TranslationImage.
// Values point into the image; texts are never copied.
#include <cstddef>
#include <cstdint>
#include <map>

namespace vykcn {

enum class FillResult {
  kFilled,       // every record inserted (an image of 0 records fills nothing and is valid)
  kMalformed,    // count or a record runs past the image's end; nothing inserted
  kOutOfMemory,  // an entry could not be allocated; the table is left empty
};

class TranslationTable {
 public:
  // Checks the whole image first, then inserts one entry per record; a later record with the same
  // hash overwrites an earlier one. Never throws. On any failure the table is left empty.
  FillResult FillFromImage(const uint8_t* image, size_t imageSize) noexcept;

  size_t size() const { return entries_.size(); }
  bool contains(uint32_t hash) const { return entries_.find(hash) != entries_.end(); }
  // Only for a hash that is present.
  const char* valueOf(uint32_t hash) const { return entries_.find(hash)->second; }
  void clear() noexcept { entries_.clear(); }

 private:
  std::map<uint32_t, const char*> entries_;
};

// True when the count and every record, terminator included, lie within imageSize bytes.
bool IsWellFormedImage(const uint8_t* image, size_t imageSize);

}  // namespace vykcn
