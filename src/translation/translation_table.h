#pragma once
// The map from a host text's SubtitleHash to its translation, and the TranslationImage that the
// translations live in: one object owns both, so the values can never outlive their bytes.
// Texts are never copied.
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
  TranslationTable() = default;
  TranslationTable(const TranslationTable&) = delete;
  TranslationTable& operator=(const TranslationTable&) = delete;
  ~TranslationTable() { ReleaseImage(); }

  // Frees the image held from an earlier load (the table is empty then: nothing points into it)
  // and allocates `size` bytes for the next one, which the table holds until the next call or
  // ReleaseImage. Null when memory runs out.
  uint8_t* AllocateImage(size_t size) noexcept;

  // Fills the table from the image it holds, of `imageSize` bytes.
  FillResult FillFromHeldImage(size_t imageSize) noexcept { return FillFromImage(image_, imageSize); }

  // Checks the whole image first, then inserts one entry per record; a later record with the same
  // hash overwrites an earlier one. Never throws. On any failure the table is left empty. The
  // image must outlive the entries (the held image does).
  FillResult FillFromImage(const uint8_t* image, size_t imageSize) noexcept;

  // Frees the held image and empties the table, whose values would point into it.
  void ReleaseImage() noexcept;

  const uint8_t* image() const { return image_; }
  size_t size() const { return entries_.size(); }
  bool contains(uint32_t hash) const { return entries_.find(hash) != entries_.end(); }
  // Only for a hash that is present.
  const char* valueOf(uint32_t hash) const { return entries_.find(hash)->second; }
  void clear() noexcept { entries_.clear(); }

 private:
  std::map<uint32_t, const char*> entries_;
  uint8_t* image_ = nullptr;  // the TranslationImage of the last load, from std::malloc
};

}  // namespace vykcn
