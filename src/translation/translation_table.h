#pragma once
// The map from a host text's SubtitleHash to its translation, and the TranslationImage that the
// translations live in: one object owns both, so the values can never outlive their bytes.
// Texts are never copied.
//
// The index is one array of (hash, text offset) pairs sorted by hash, one pair per distinct hash,
// with a bucket table over the hashes' top bits: filling it costs a walk of the image and a radix
// sort, not an allocation per record; a lookup reads one bucket bound and, on average, one or two
// pairs. At most 12 bytes per record beyond the image.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "translation/load_status.h"

namespace vykcn {

class TranslationTable {
 public:
  TranslationTable() = default;
  TranslationTable(const TranslationTable&) = delete;
  TranslationTable& operator=(const TranslationTable&) = delete;
  ~TranslationTable() { ReleaseImage(); }

  // Frees the image held from an earlier load (the table is empty then: nothing points into it)
  // and allocates `size` bytes for the next one, which the table holds until the next call or
  // ReleaseImage, to be filled from. Null when memory runs out.
  uint8_t* AllocateImage(size_t size) noexcept;

  // Replaces the table's entries with one per distinct hash of the image; of records with the same
  // hash the last wins. The whole image is checked before anything is kept: on any failure
  // (kMalformedImage, or kOutOfMemory for the index) the table is left empty. kLoaded for every
  // record inserted; an image of 0 records fills nothing and is valid. Never throws. The image
  // must outlive the entries (the held image does).
  LoadStatus FillFromImage(const uint8_t* image, size_t imageSize) noexcept;

  // Frees the held image and empties the table, whose values would point into it.
  void ReleaseImage() noexcept;

  const uint8_t* image() const { return image_; }
  size_t size() const { return entries_.size(); }
  // The translation stored under `hash`, or null when there is none.
  const char* lookup(uint32_t hash) const;
  void clear() noexcept;

 private:
  struct Entry {
    uint32_t hash;
    uint32_t textOffset;  // from indexed_
  };

  std::vector<Entry> entries_;          // sorted by hash, distinct hashes
  std::vector<uint32_t> bucketStarts_;  // first entry of each top-bits value, then entries_.size()
  unsigned bucketShift_ = 32;           // hash >> bucketShift_ is the bucket
  const uint8_t* indexed_ = nullptr;    // the image the entries point into
  uint8_t* image_ = nullptr;            // the TranslationImage of the last load, from std::malloc
};

}  // namespace vykcn
