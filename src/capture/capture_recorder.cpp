#include "capture/capture_recorder.h"

#include <cstring>
#include <new>
#include <thread>

#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

// Slots hold the text's hash in the high half, so a probe rarely reads an entry it does not want.
uint64_t SlotValue(uint32_t hash, uint32_t unit) { return (static_cast<uint64_t>(hash) << 32) | (unit + 1); }

// The subtitle hash's low bits follow the text's last byte too closely to index a table by them.
size_t HomeSlot(uint32_t hash, size_t mask) {
  return static_cast<size_t>((static_cast<uint64_t>(hash) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

uint32_t CapturedText::PassesAt(CaptureSite site) const {
  return passes[static_cast<size_t>(site)].load(std::memory_order_acquire);
}

LookupAnswer CapturedText::AnswerAt(CaptureSite site) const {
  if (PassesAt(site) == 0) return LookupAnswer::kNotSeen;
  return static_cast<LookupAnswer>(answers[static_cast<size_t>(site)].load(std::memory_order_acquire));
}

CaptureRecorder::CaptureRecorder(CaptureLimits limits) noexcept : limits_(limits) {
  constexpr size_t kUnit = sizeof(uint64_t);
  constexpr size_t kHeaderUnits = (sizeof(CapturedText) + kUnit - 1) / kUnit;
  static_assert(alignof(CapturedText) <= kUnit);
  if (limits_.texts == 0 || limits_.texts > UINT32_MAX / 4 || limits_.bytes > UINT32_MAX) return;
  // An entry takes its header and its bytes, rounded up to whole units: in all, at most the bytes'
  // units and each entry's header and one unit more.
  arenaUnits_ = limits_.bytes / kUnit + limits_.texts * (kHeaderUnits + 1);
  if (arenaUnits_ >= UINT32_MAX) return;
  // At least twice as many slots as texts: probes stay short, and the table never fills.
  size_t slots = 2;
  while (slots < 2 * limits_.texts) slots *= 2;
  arena_ = new (std::nothrow) uint64_t[arenaUnits_];
  order_ = new (std::nothrow) uint32_t[limits_.texts];
  slots_ = new (std::nothrow) std::atomic<uint64_t>[slots]();
  slotMask_ = slots - 1;
  if (arena_ == nullptr || order_ == nullptr || slots_ == nullptr) {
    delete[] arena_;
    delete[] order_;
    delete[] slots_;
    arena_ = nullptr;
    order_ = nullptr;
    slots_ = nullptr;
  }
}

CaptureRecorder::~CaptureRecorder() {
  // Entries hold nothing to release: their memory goes with the arena.
  delete[] arena_;
  delete[] order_;
  delete[] slots_;
}

CapturedText* CaptureRecorder::Find(const char* text, size_t length, uint32_t hash, size_t* slot) const {
  for (size_t at = HomeSlot(hash, slotMask_);; at = (at + 1) & slotMask_) {
    const uint64_t value = slots_[at].load(std::memory_order_acquire);
    if (value == 0) {
      *slot = at;
      return nullptr;
    }
    if (static_cast<uint32_t>(value >> 32) != hash) continue;
    CapturedText* entry = Entry(static_cast<uint32_t>(value) - 1);
    if (entry->length == length && std::memcmp(entry->data(), text, length) == 0) return entry;
  }
}

CapturedText* CaptureRecorder::Add(const char* text, size_t length, uint32_t hash) {
  // Once a limit is reached, texts that do not fit are dropped without taking the lock.
  if (published_.load(std::memory_order_relaxed) >= limits_.texts ||
      length > limits_.bytes - textBytes_.load(std::memory_order_relaxed)) {
    return nullptr;
  }
  while (adding_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  size_t slot = 0;
  // Another thread may have added the same text since the lock-free probe.
  CapturedText* entry = Find(text, length, hash, &slot);
  const size_t index = published_.load(std::memory_order_relaxed);
  const size_t bytes = textBytes_.load(std::memory_order_relaxed);
  if (entry == nullptr && index < limits_.texts && length <= limits_.bytes - bytes) {
    const auto unit = static_cast<uint32_t>(arenaUsed_);
    entry = new (arena_ + unit) CapturedText();
    entry->length = static_cast<uint32_t>(length);
    entry->hash = hash;
    if (length != 0) std::memcpy(reinterpret_cast<char*>(entry + 1), text, length);
    arenaUsed_ += (sizeof(CapturedText) + length + sizeof(uint64_t) - 1) / sizeof(uint64_t);
    textBytes_.store(bytes + length, std::memory_order_relaxed);
    order_[index] = unit;
    // The entry is complete before either store makes it visible.
    slots_[slot].store(SlotValue(hash, unit), std::memory_order_release);
    published_.store(index + 1, std::memory_order_release);
  }
  adding_.clear(std::memory_order_release);
  return entry;
}

void CaptureRecorder::Drop() {
  if (dropped_.fetch_add(1, std::memory_order_relaxed) == 0) revision_.fetch_add(1, std::memory_order_release);
}

void CaptureRecorder::Record(const char* text, size_t length, CaptureSite site, Classify classify,
                             void* context) noexcept {
  if (arena_ == nullptr || text == nullptr) {
    Drop();
    return;
  }
  const uint32_t hash = SubtitleHashBytes(text, length);
  size_t slot = 0;
  CapturedText* entry = Find(text, length, hash, &slot);
  if (entry == nullptr) entry = Add(text, length, hash);
  if (entry == nullptr) {
    Drop();
    return;
  }
  // The answer is stored before the pass is counted, and the revision moves after both: a reader
  // that sees the pass sees the answer, and a writer that sees the revision sees the pass.
  const size_t s = static_cast<size_t>(site);
  bool first = false;
  if (entry->answers[s].load(std::memory_order_acquire) == static_cast<uint8_t>(LookupAnswer::kNotSeen)) {
    LookupAnswer answer = classify(context);
    if (answer == LookupAnswer::kNotSeen) answer = LookupAnswer::kNone;
    uint8_t expected = static_cast<uint8_t>(LookupAnswer::kNotSeen);
    first = entry->answers[s].compare_exchange_strong(expected, static_cast<uint8_t>(answer),
                                                      std::memory_order_acq_rel);
  }
  entry->passes[s].fetch_add(1, std::memory_order_release);
  if (first) revision_.fetch_add(1, std::memory_order_release);
}

void CaptureRecorder::Reanswer(size_t index, CaptureSite site, LookupAnswer answer) noexcept {
  if (answer == LookupAnswer::kNotSeen) answer = LookupAnswer::kNone;
  std::atomic<uint8_t>& stored = Entry(order_[index])->answers[static_cast<size_t>(site)];
  if (stored.exchange(static_cast<uint8_t>(answer), std::memory_order_acq_rel) != static_cast<uint8_t>(answer)) {
    revision_.fetch_add(1, std::memory_order_release);
  }
}

}  // namespace vykcn
