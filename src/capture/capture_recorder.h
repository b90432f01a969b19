#pragma once
// The test build's record of the texts that reached the module's lookups: each distinct text
// (its exact bytes) once, in the order first seen, with the passes each site made with it and how
// that site answered it. Written by the hooks' threads, read by the catalogue writer at any time.
//
// The hot path is a lookup in an open-addressing table of (hash, entry) pairs, lock-free, and an
// atomic add: a text seen before costs a hash of its bytes, one or two probes, a compare and the
// add. Each entry holds its counters and its text's bytes together, so a pass reads two places in
// memory: the slot and the entry. A text seen for the first time is copied once, under a short spin
// lock (a re-probe, a copy into the arena, three stores); entries are never removed or moved, so
// readers need no lock. Memory is taken once, up front: the limits on distinct texts and on their
// bytes bound it, and passes of texts beyond them are counted as dropped.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vykcn {

enum class CaptureSite : uint8_t { kSubtitle, kDialogue, kExport };
constexpr size_t kCaptureSiteCount = 3;

// How a site answered a text: what the host was given in its place.
enum class LookupAnswer : uint8_t {
  kNotSeen,               // no pass at this site yet
  kNone,                  // the text itself: no translation
  kOwn,                   // the text's own translation
  kWithoutLast,           // subtitle fallback: the translation of the text without its last byte
  kWithoutLastReplaced,   // ... which the second pass replaced with that translation's own fallback
  kWithoutLastTwo,        // subtitle fallback: the translation of the text without its last two bytes
};

struct CaptureLimits {
  size_t texts = 65536;          // distinct texts
  size_t bytes = size_t{4} << 20;  // their bytes, in all
};

// One distinct text, followed in memory by its bytes. Its length, hash and bytes never change once
// the entry is published.
struct CapturedText {
  uint32_t length;
  uint32_t hash;  // SubtitleHash of the bytes
  std::atomic<uint32_t> passes[kCaptureSiteCount];
  std::atomic<uint8_t> answers[kCaptureSiteCount];  // LookupAnswer

  const char* data() const { return reinterpret_cast<const char*>(this + 1); }
  std::string_view text() const { return {data(), length}; }
  // The site's passes and answer as a reader sees them: a site whose first pass is still being
  // counted reads as not seen.
  uint32_t PassesAt(CaptureSite site) const;
  LookupAnswer AnswerAt(CaptureSite site) const;
};

class CaptureRecorder {
 public:
  // Takes all of its memory now; when it cannot, it records nothing and drops every pass.
  explicit CaptureRecorder(CaptureLimits limits = {}) noexcept;
  ~CaptureRecorder();
  CaptureRecorder(const CaptureRecorder&) = delete;
  CaptureRecorder& operator=(const CaptureRecorder&) = delete;

  // Counts one pass of `length` bytes at `text` at `site`. `classify(context)` says how the site
  // answered; it is called only on the text's first pass at that site (two threads passing it at
  // once may both call it; the first answer stays). Never throws, never blocks for long.
  using Classify = LookupAnswer (*)(void* context);
  void Record(const char* text, size_t length, CaptureSite site, Classify classify, void* context) noexcept;

  // After the translations changed (the test build's reload): `answer` becomes the answer of entry
  // `index` at `site`, which that site has passed. Moves the revision when the answer changed.
  void Reanswer(size_t index, CaptureSite site, LookupAnswer answer) noexcept;

  // Entries [0, size()) are complete and in the order first seen; size() only grows.
  size_t size() const { return published_.load(std::memory_order_acquire); }
  const CapturedText& at(size_t index) const { return *Entry(order_[index]); }

  // Passes not recorded because a limit was reached (or the memory could not be had).
  uint64_t droppedPasses() const { return dropped_.load(std::memory_order_relaxed); }
  const CaptureLimits& limits() const { return limits_; }

  // Grows with every new text, every first pass of a text at a site, and the first dropped pass:
  // a writer that saw this value has seen all of them.
  uint64_t revision() const { return revision_.load(std::memory_order_acquire); }

 private:
  // Entries lie in the arena at multiples of 8 bytes, and are named by that multiple.
  CapturedText* Entry(uint32_t unit) const { return reinterpret_cast<CapturedText*>(arena_ + unit); }
  CapturedText* Find(const char* text, size_t length, uint32_t hash, size_t* slot) const;
  CapturedText* Add(const char* text, size_t length, uint32_t hash);
  void Drop();

  CaptureLimits limits_;
  uint64_t* arena_ = nullptr;               // the entries, each with its bytes
  size_t arenaUnits_ = 0;                   // its size, in 8-byte units
  size_t arenaUsed_ = 0;                    // units taken (under the lock)
  uint32_t* order_ = nullptr;               // the entries' units, in the order first seen
  std::atomic<uint64_t>* slots_ = nullptr;  // (hash << 32) | (entry unit + 1); 0: empty
  size_t slotMask_ = 0;
  std::atomic<size_t> textBytes_{0};        // the texts' bytes, in all
  std::atomic<size_t> published_{0};
  std::atomic<uint64_t> dropped_{0};
  std::atomic<uint64_t> revision_{0};
  std::atomic_flag adding_ = ATOMIC_FLAG_INIT;  // held while a new text is added
};

}  // namespace vykcn
