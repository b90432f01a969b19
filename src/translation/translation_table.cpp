#include "translation/translation_table.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "formats/translation_image.h"

namespace vykcn {
namespace {

// LSD radix sort of (hash, offset) pairs by hash in three passes of 11, 11 and 10 bits. Each
// pass is stable, so pairs of equal hash stay in record order. The sorted pairs end in `pairs`;
// `scratch` must have the same size.
template <typename Entry>
void SortByHash(std::vector<Entry>& pairs, std::vector<Entry>& scratch) {
  constexpr unsigned kDigitBits = 11;
  constexpr size_t kDigits = size_t{1} << kDigitBits;
  std::vector<Entry>* from = &pairs;
  std::vector<Entry>* to = &scratch;
  for (unsigned shift = 0; shift < 32; shift += kDigitBits) {
    uint32_t starts[kDigits] = {};
    for (const Entry& e : *from) ++starts[(e.hash >> shift) & (kDigits - 1)];
    uint32_t sum = 0;
    for (uint32_t& start : starts) {
      const uint32_t count = start;
      start = sum;
      sum += count;
    }
    for (const Entry& e : *from) (*to)[starts[(e.hash >> shift) & (kDigits - 1)]++] = e;
    std::swap(from, to);
  }
  // Three passes: the result is in `scratch`.
  pairs.swap(scratch);
}

// Bucket table width: about one bucket per distinct hash, at least 2 buckets, at most 2^24.
unsigned BucketBitsFor(size_t entries) {
  unsigned bits = 1;
  while (bits < 24 && (size_t{1} << (bits + 1)) <= entries) ++bits;
  return bits;
}

}  // namespace

uint8_t* TranslationTable::AllocateImage(size_t size) noexcept {
  ReleaseImage();
  image_ = static_cast<uint8_t*>(std::malloc(size != 0 ? size : 1));
  return image_;
}

void TranslationTable::ReleaseImage() noexcept {
  clear();
  std::free(image_);
  image_ = nullptr;
}

void TranslationTable::clear() noexcept {
  // Storage is returned too: a table that failed to fill holds nothing.
  std::vector<Entry>().swap(entries_);
  std::vector<uint32_t>().swap(bucketStarts_);
  bucketShift_ = 32;
  indexed_ = nullptr;
}

const char* TranslationTable::lookup(uint32_t hash) const {
  if (entries_.empty()) return nullptr;
  const uint32_t bucket = hash >> bucketShift_;
  const Entry* entry = entries_.data() + bucketStarts_[bucket];
  const Entry* end = entries_.data() + bucketStarts_[bucket + 1];
  for (; entry != end && entry->hash <= hash; ++entry) {
    if (entry->hash == hash) return reinterpret_cast<const char*>(indexed_ + entry->textOffset);
  }
  return nullptr;
}

FillResult TranslationTable::FillFromImage(const uint8_t* image, size_t imageSize) noexcept {
  clear();
  // Offsets are 32-bit, as is the resource's size field.
  if (image == nullptr || imageSize > UINT32_MAX) return FillResult::kMalformed;
  try {
    std::vector<Entry> pairs;
    if (imageSize >= kImageCountSize) {
      // A record takes at least 5 bytes: an absurd count reserves no more than the image can hold.
      const size_t most = (imageSize - kImageCountSize) / (kRecordHashSize + 1);
      pairs.reserve(std::min<size_t>(ReadU32LE(image), most));
    }
    const ImageCheck check = WalkTranslationImage(image, imageSize, [&](const ImageRecord& record) {
      const auto* text = reinterpret_cast<const uint8_t*>(record.text.data());
      pairs.push_back({record.hash, static_cast<uint32_t>(text - image)});
    });
    if (!check.wellFormed) return FillResult::kMalformed;
    if (pairs.empty()) return FillResult::kFilled;

    std::vector<Entry> scratch(pairs.size());
    SortByHash(pairs, scratch);
    // Equal hashes are adjacent and in record order: keep the last of each run.
    size_t kept = 0;
    for (size_t i = 0; i < pairs.size(); ++i) {
      if (i + 1 < pairs.size() && pairs[i + 1].hash == pairs[i].hash) continue;
      pairs[kept++] = pairs[i];
    }
    pairs.resize(kept);

    const unsigned bits = BucketBitsFor(kept);
    std::vector<uint32_t> starts((size_t{1} << bits) + 1);
    const unsigned shift = 32 - bits;
    size_t next = 0;
    for (size_t bucket = 0; bucket < starts.size() - 1; ++bucket) {
      starts[bucket] = static_cast<uint32_t>(next);
      while (next < kept && (pairs[next].hash >> shift) == bucket) ++next;
    }
    starts.back() = static_cast<uint32_t>(kept);

    entries_.swap(pairs);
    bucketStarts_.swap(starts);
    bucketShift_ = shift;
    indexed_ = image;
  } catch (const std::bad_alloc&) {
    clear();
    return FillResult::kOutOfMemory;
  }
  return FillResult::kFilled;
}

}  // namespace vykcn
