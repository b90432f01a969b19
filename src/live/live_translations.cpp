#include "live/live_translations.h"

#include <cstring>
#include <new>

#include "formats/translation_image.h"
#include "formats/translation_resource.h"
#include "translation/translation_loader.h"

namespace vykcn {

LiveTranslations::~LiveTranslations() {
  delete current_.load(std::memory_order_relaxed);
  for (const LiveIndex* index : retired_) delete index;
  for (const LiveIndex* index : draining_) delete index;
}

ReloadOutcome LiveTranslations::LoadEmbedded(const uint8_t* resource, size_t size) noexcept {
  ReloadOutcome outcome;
  TranslationResourceParts parts;
  outcome.status = LoadTranslationResource(resource, size, embedded_);
  if (outcome.status != LoadStatus::kLoaded) return outcome;
  SplitTranslationResource(resource, size, &parts);
  return Publish(embedded_, parts.imageSize, false);
}

ReloadOutcome LiveTranslations::Reload(const uint8_t* resource, size_t size) noexcept {
  ReloadOutcome outcome;
  // A file is no resource the build made: its size header is not trusted with an allocation larger
  // than its chunks can fill (a truncated file's header promises more than its chunks hold).
  TranslationResourceParts parts;
  if (!SplitTranslationResource(resource, size, &parts)) {
    outcome.status = LoadStatus::kShortResource;
    return outcome;
  }
  if (parts.imageSize > FramedStreamOutputBound(parts.stream, parts.streamSize)) {
    outcome.status = LoadStatus::kDecodeFailed;
    return outcome;
  }
  TranslationTable decoded;  // its image is freed on return: what the index keeps is copied first
  outcome.status = LoadTranslationResource(resource, size, decoded);
  if (outcome.status != LoadStatus::kLoaded) return outcome;
  return Publish(decoded, parts.imageSize, true);
}

ReloadOutcome LiveTranslations::Publish(const TranslationTable& decoded, uint32_t imageSize, bool copyTexts) noexcept {
  ReloadOutcome outcome;
  const uint8_t* image = decoded.image();
  const LiveIndex* previous = current();
  auto* index = new (std::nothrow) LiveIndex(decoded.size());
  if (index == nullptr || !index->valid()) {
    delete index;
    outcome.status = LoadStatus::kOutOfMemory;
    return outcome;
  }
  // Each distinct hash once, with the text the table keeps for it (of equal hashes, the last
  // record's): the one in memory already when its bytes did not change, else the decoded one.
  size_t needed = 0;
  WalkTranslationImage(image, imageSize, [&](const ImageRecord& record) {
    if (index->lookup(record.hash) != nullptr) return;
    const char* text = decoded.lookup(record.hash);
    const char* before = previous != nullptr ? previous->lookup(record.hash) : nullptr;
    if (before != nullptr && std::strcmp(before, text) == 0) {
      index->Insert(record.hash, before);
      ++outcome.unchanged;
      return;
    }
    index->Insert(record.hash, text);
    ++(before != nullptr ? outcome.changed : outcome.added);
    needed += std::strlen(text) + 1;
  });
  outcome.records = index->size();
  outcome.removed = (previous != nullptr ? previous->size() : 0) - outcome.unchanged - outcome.changed;
  if (previous != nullptr && outcome.changed == 0 && outcome.added == 0 && outcome.removed == 0) {
    delete index;  // the same translations: the index in use stays
    return outcome;
  }
  if (copyTexts) {
    if (!store_.Fits(needed)) {
      delete index;
      outcome.overCap = true;
      return outcome;
    }
    bool copied = true;
    index->Rewrite([&](uint32_t, const char*& text) {
      const auto* at = reinterpret_cast<const uint8_t*>(text);
      if (at < image || at >= image + imageSize) return;
      const char* kept = store_.Keep(text);
      copied &= kept != nullptr;
      text = kept != nullptr ? kept : "";
    });
    if (!copied) {  // out of memory midway: what was copied stays in the store, unused
      delete index;
      outcome.status = LoadStatus::kOutOfMemory;
      return outcome;
    }
    outcome.copiedBytes = needed;
  }
  const LiveIndex* replaced = current_.exchange(index, std::memory_order_seq_cst);
  outcome.published = true;
  if (replaced != nullptr) {
    try {
      retired_.push_back(replaced);
    } catch (...) {
      // No room to remember it: it is never freed, which is safe.
    }
  }
  Reclaim();
  return outcome;
}

void LiveTranslations::Reclaim() noexcept {
  if (!draining_.empty()) {
    if (!epochs_.Drained(drainingPhase_)) return;
    for (const LiveIndex* index : draining_) delete index;
    draining_.clear();
  }
  if (retired_.empty()) return;
  // Every index retired so far was replaced before this flip: once the phase before it drains, no
  // call holds any of them.
  draining_.swap(retired_);
  drainingPhase_ = epochs_.Flip();
}

}  // namespace vykcn
