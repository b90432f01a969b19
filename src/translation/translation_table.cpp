#include "translation/translation_table.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "formats/translation_image.h"

namespace vykcn {
namespace {

// Bucket table width: about one bucket per record, at least 2 buckets, at most 2^24.
unsigned BucketBitsFor(size_t records) {
  unsigned bits = 1;
  while (bits < 24 && (size_t{1} << (bits + 1)) <= records) ++bits;
  return bits;
}

// Sorts one bucket by hash, keeping pairs of equal hash in record order. Buckets hold one or two
// pairs on average; a crowded one (only an unusual image makes one) gets a proper sort.
template <typename Entry>
void SortBucket(Entry* begin, Entry* end) {
  const auto byHash = [](const Entry& a, const Entry& b) { return a.hash < b.hash; };
  if (end - begin > 32) {
    std::stable_sort(begin, end, byHash);
    return;
  }
  for (Entry* i = begin + 1; i < end; ++i) {
    const Entry moving = *i;
    Entry* j = i;
    for (; j > begin && byHash(moving, j[-1]); --j) *j = j[-1];
    *j = moving;
  }
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

LoadStatus TranslationTable::FillFromImage(const uint8_t* image, size_t imageSize) noexcept {
  clear();
  // Offsets are 32-bit, as is the resource's size field.
  if (image == nullptr || imageSize > UINT32_MAX) return LoadStatus::kMalformedImage;
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
    if (!check.wellFormed) return LoadStatus::kMalformedImage;
    if (pairs.empty()) return LoadStatus::kLoaded;

    // Distribute the pairs by their hash's top bits (in record order within a bucket), sort each
    // bucket, and keep the last pair of each hash: the bucket table is the histogram's prefix sums.
    const unsigned bits = BucketBitsFor(pairs.size());
    const unsigned shift = 32 - bits;
    std::vector<uint32_t> starts((size_t{1} << bits) + 1, 0);
    for (const Entry& pair : pairs) ++starts[(pair.hash >> shift) + 1];
    for (size_t bucket = 1; bucket < starts.size(); ++bucket) starts[bucket] += starts[bucket - 1];
    std::vector<Entry> sorted(pairs.size());
    // Each bucket's start advances as it is filled, ending as the start of the next one.
    for (const Entry& pair : pairs) sorted[starts[pair.hash >> shift]++] = pair;
    std::vector<Entry>().swap(pairs);

    size_t kept = 0;
    uint32_t begin = 0;
    for (size_t bucket = 0; bucket + 1 < starts.size(); ++bucket) {
      const uint32_t end = starts[bucket];
      SortBucket(sorted.data() + begin, sorted.data() + end);
      starts[bucket] = static_cast<uint32_t>(kept);
      for (uint32_t i = begin; i < end; ++i) {
        if (i + 1 < end && sorted[i + 1].hash == sorted[i].hash) continue;  // a later record wins
        sorted[kept++] = sorted[i];
      }
      begin = end;
    }
    starts.back() = static_cast<uint32_t>(kept);
    sorted.resize(kept);
    pairs.swap(sorted);

    entries_.swap(pairs);
    bucketStarts_.swap(starts);
    bucketShift_ = shift;
    indexed_ = image;
  } catch (const std::bad_alloc&) {
    clear();
    return LoadStatus::kOutOfMemory;
  }
  return LoadStatus::kLoaded;
}

}  // namespace vykcn
