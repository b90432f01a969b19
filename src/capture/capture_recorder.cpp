#include "capture/capture_recorder.h"

#include <cstring>
#include <new>
#include <thread>

#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

// Slots hold the text's hash in the high half, so a probe rarely reads an entry it does not want.
uint64_t SlotValue(uint32_t hash, size_t index) { return (static_cast<uint64_t>(hash) << 32) | (index + 1); }

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
  if (limits_.texts == 0 || limits_.texts > UINT32_MAX / 2 || limits_.bytes > UINT32_MAX) return;
  // At least twice as many slots as texts: probes stay short, and the table never fills.
  size_t slots = 2;
  while (slots < 2 * limits_.texts) slots *= 2;
  entries_ = new (std::nothrow) CapturedText[limits_.texts]();
  slots_ = new (std::nothrow) std::atomic<uint64_t>[slots]();
  arena_ = new (std::nothrow) char[limits_.bytes != 0 ? limits_.bytes : 1];
  slotMask_ = slots - 1;
  if (entries_ == nullptr || slots_ == nullptr || arena_ == nullptr) {
    delete[] entries_;
    delete[] slots_;
    delete[] arena_;
    entries_ = nullptr;
    slots_ = nullptr;
    arena_ = nullptr;
  }
}

CaptureRecorder::~CaptureRecorder() {
  delete[] entries_;
  delete[] slots_;
  delete[] arena_;
}

CapturedText* CaptureRecorder::Find(const char* text, size_t length, uint32_t hash, size_t* slot) const {
  for (size_t at = HomeSlot(hash, slotMask_);; at = (at + 1) & slotMask_) {
    const uint64_t value = slots_[at].load(std::memory_order_acquire);
    if (value == 0) {
      *slot = at;
      return nullptr;
    }
    if (static_cast<uint32_t>(value >> 32) != hash) continue;
    CapturedText& entry = entries_[static_cast<uint32_t>(value) - 1];
    if (entry.length == length && std::memcmp(entry.bytes, text, length) == 0) return &entry;
  }
}

CapturedText* CaptureRecorder::Add(const char* text, size_t length, uint32_t hash) {
  // Once a limit is reached, texts that do not fit are dropped without taking the lock.
  if (published_.load(std::memory_order_relaxed) >= limits_.texts ||
      length > limits_.bytes - arenaUsed_.load(std::memory_order_relaxed)) {
    return nullptr;
  }
  while (adding_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  size_t slot = 0;
  // Another thread may have added the same text since the lock-free probe.
  CapturedText* entry = Find(text, length, hash, &slot);
  const size_t index = published_.load(std::memory_order_relaxed);
  const size_t used = arenaUsed_.load(std::memory_order_relaxed);
  if (entry == nullptr && index < limits_.texts && length <= limits_.bytes - used) {
    entry = &entries_[index];
    if (length != 0) std::memcpy(arena_ + used, text, length);
    entry->bytes = arena_ + used;
    entry->length = static_cast<uint32_t>(length);
    entry->hash = hash;
    arenaUsed_.store(used + length, std::memory_order_relaxed);
    // The entry is complete before either store makes it visible.
    slots_[slot].store(SlotValue(hash, index), std::memory_order_release);
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
  if (entries_ == nullptr || text == nullptr) {
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

}  // namespace vykcn
