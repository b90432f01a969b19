#include "live/prefixed_texts.h"

#include <cstring>
#include <new>
#include <thread>

#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

size_t HomeSlot(uint32_t key, size_t mask) {
  return static_cast<size_t>((static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

size_t FormatLinePrefix(uint32_t hash, bool fallback, char* out) {
  static const char kDigits[] = "0123456789ABCDEF";
  size_t n = 0;
  out[n++] = '[';
  out[n++] = '0';
  out[n++] = 'x';
  for (int shift = 28; shift >= 0; shift -= 4) out[n++] = kDigits[(hash >> shift) & 0xF];
  if (fallback) out[n++] = '~';
  out[n++] = ']';
  out[n++] = ' ';
  return n;
}

PrefixedTexts::PrefixedTexts(PrefixLimits limits) noexcept : limits_(limits) {
  if (limits_.lines == 0 || limits_.lines > UINT32_MAX / 4 || limits_.bytes >= UINT32_MAX) return;
  size_t slots = 2;
  while (slots < 2 * limits_.lines) slots *= 2;
  arena_ = new (std::nothrow) char[limits_.bytes];
  slots_ = new (std::nothrow) std::atomic<uint64_t>[slots]();
  slotMask_ = slots - 1;
  if (arena_ == nullptr || slots_ == nullptr) {
    delete[] arena_;
    delete[] slots_;
    arena_ = nullptr;
    slots_ = nullptr;
  }
}

PrefixedTexts::~PrefixedTexts() {
  delete[] arena_;
  delete[] slots_;
}

const char* PrefixedTexts::Find(const char* prefix, size_t prefixLength, const char* text, uint32_t key,
                                size_t* slot) const {
  for (size_t at = HomeSlot(key, slotMask_);; at = (at + 1) & slotMask_) {
    const uint64_t value = slots_[at].load(std::memory_order_acquire);
    if (value == 0) {
      *slot = at;
      return nullptr;
    }
    if (static_cast<uint32_t>(value >> 32) != key) continue;
    const char* line = arena_ + (static_cast<uint32_t>(value) - 1);
    if (std::memcmp(line, prefix, prefixLength) == 0 && std::strcmp(line + prefixLength, text) == 0) return line;
  }
}

const char* PrefixedTexts::Prefixed(uint32_t hash, bool fallback, const char* text) noexcept {
  if (arena_ == nullptr) {
    unprefixed_.fetch_add(1, std::memory_order_relaxed);
    return text;
  }
  char prefix[kLinePrefixMax];
  const size_t prefixLength = FormatLinePrefix(hash, fallback, prefix);
  const size_t length = std::strlen(text);
  const uint32_t key = SubtitleHashContinue(SubtitleHashBytes(prefix, prefixLength), text, length);
  size_t slot = 0;
  if (const char* line = Find(prefix, prefixLength, text, key, &slot)) return line;

  while (adding_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  // Another call may have added the same line since the probe above.
  const char* line = Find(prefix, prefixLength, text, key, &slot);
  const size_t bytes = prefixLength + length + 1;
  if (line == nullptr && lines_ < limits_.lines && bytes <= limits_.bytes - arenaUsed_) {
    char* made = arena_ + arenaUsed_;
    std::memcpy(made, prefix, prefixLength);
    std::memcpy(made + prefixLength, text, length + 1);
    // The line is complete before the slot makes it visible.
    slots_[slot].store((static_cast<uint64_t>(key) << 32) | (arenaUsed_ + 1), std::memory_order_release);
    arenaUsed_ += bytes;
    ++lines_;
    line = made;
  }
  adding_.clear(std::memory_order_release);
  if (line == nullptr) {
    unprefixed_.fetch_add(1, std::memory_order_relaxed);
    return text;
  }
  return line;
}

}  // namespace vykcn
