#pragma once
// The test build's translations, replaceable while the host runs. The build's own thread decodes
// the module's resource or a translation file through LoadTranslationResource, checks it, builds a
// LiveIndex of it and publishes that through an atomic pointer; a lookup call takes that pointer
// once (LiveTranslations::Reader) and uses it for all of its passes.
//
// Every text handed to the host stays readable until the process ends: the module's own image is
// kept, a reload points each record whose text did not change at the text already in memory and
// copies only changed and added texts into an append-only TextStore, whose cap bounds what reloads
// take; a reload that would pass it is refused. An index that the reader epochs show no call can
// still read is freed (Reclaim).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "live/live_index.h"
#include "live/reader_epochs.h"
#include "live/text_store.h"
#include "translation/load_status.h"
#include "translation/translation_table.h"

namespace vykcn {

// The store's cap in the module: the texts that reloads copy (README.md, "The test build").
constexpr size_t kLiveStoreCap = size_t{256} << 20;

struct ReloadOutcome {
  LoadStatus status = LoadStatus::kLoaded;  // how the file decoded
  bool overCap = false;    // decoded, but its changed texts would pass the store's cap
  bool published = false;  // a new index is in use (false too when nothing changed)
  size_t records = 0;      // distinct hashes of the file
  size_t unchanged = 0, changed = 0, added = 0, removed = 0;  // against the index it replaced
  size_t copiedBytes = 0;  // taken from the store
};

class LiveTranslations {
 public:
  explicit LiveTranslations(size_t storeCap = kLiveStoreCap) noexcept : store_(storeCap) {}
  ~LiveTranslations();
  LiveTranslations(const LiveTranslations&) = delete;
  LiveTranslations& operator=(const LiveTranslations&) = delete;

  // The rest of the public calls but Reader are the build's thread's (or the library entry's, before
  // that thread starts): one caller at a time.

  // Decodes the module's own translation resource into a table kept as long as this object, and
  // publishes its index: its texts stay in that table's image. The first load.
  ReloadOutcome LoadEmbedded(const uint8_t* resource, size_t size) noexcept;

  // Decodes a translation resource read from a file and publishes its index, built against the
  // index in use: unchanged texts are shared, the others copied into the store. A resource that
  // does not decode, or whose image is malformed, or that would pass the cap, changes nothing.
  ReloadOutcome Reload(const uint8_t* resource, size_t size) noexcept;

  // Frees the replaced indexes that no lookup call can still read; called on each round of the thread.
  void Reclaim() noexcept;

  const LiveIndex* current() const { return current_.load(std::memory_order_acquire); }
  const TextStore& store() const { return store_; }
  size_t waitingIndexes() const { return retired_.size() + draining_.size(); }

  // A lookup call's view: the index in use when it started, readable until it ends. Null when no
  // index was ever published.
  class Reader {
   public:
    explicit Reader(LiveTranslations& live) noexcept
        : live_(live), phase_(live.epochs_.Enter()), index_(live.current_.load(std::memory_order_acquire)) {}
    ~Reader() { live_.epochs_.Leave(phase_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    const LiveIndex* index() const { return index_; }

   private:
    LiveTranslations& live_;
    unsigned phase_;
    const LiveIndex* index_;
  };

 private:
  ReloadOutcome Publish(const TranslationTable& decoded, uint32_t imageSize, bool copyTexts) noexcept;

  std::atomic<const LiveIndex*> current_{nullptr};
  ReaderEpochs epochs_;
  TextStore store_;
  TranslationTable embedded_;                 // the module's own image, kept while this object lives
  std::vector<const LiveIndex*> retired_;     // replaced, not yet behind a flip
  std::vector<const LiveIndex*> draining_;    // replaced before the flip of drainingPhase_
  unsigned drainingPhase_ = 0;
};

}  // namespace vykcn
