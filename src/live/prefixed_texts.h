#pragma once
// The lines the test build hands the host while the hash prefix is on: "[0x1A2B3C4D] text", or
// "[0x1A2B3C4D~] text" when a fallback of the subtitle site matched. Made by the lookup calls
// themselves, once per distinct line, and kept until the process ends (the host may still be
// drawing one): an arena taken up front, with an open-addressing table of the lines made, read
// without a lock; a new line is added under a short spin lock that only lookup calls take. Past the
// arena's limits the lines go unprefixed, and are counted.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vykcn {

struct PrefixLimits {
  size_t lines = 65536;
  size_t bytes = size_t{8} << 20;
};

class PrefixedTexts {
 public:
  explicit PrefixedTexts(PrefixLimits limits = {}) noexcept;
  ~PrefixedTexts();
  PrefixedTexts(const PrefixedTexts&) = delete;
  PrefixedTexts& operator=(const PrefixedTexts&) = delete;

  // `text` (not null) after the prefix of `hash`, with the fallback mark when asked: the same
  // pointer for the same line each time; `text` itself past the limits. Never blocks for long.
  const char* Prefixed(uint32_t hash, bool fallback, const char* text) noexcept;

  // Whether `text` is a line made here (so a pass over it does not prefix it again).
  bool Holds(const char* text) const {
    return arena_ != nullptr && reinterpret_cast<uintptr_t>(text) - reinterpret_cast<uintptr_t>(arena_) < limits_.bytes;
  }

  uint64_t unprefixed() const { return unprefixed_.load(std::memory_order_relaxed); }

 private:
  const char* Find(const char* prefix, size_t prefixLength, const char* text, uint32_t key, size_t* slot) const;

  PrefixLimits limits_;
  char* arena_ = nullptr;
  size_t arenaUsed_ = 0;                    // under the lock
  std::atomic<uint64_t>* slots_ = nullptr;  // (key << 32) | (line's offset + 1); 0: empty
  size_t slotMask_ = 0;
  size_t lines_ = 0;                        // under the lock
  std::atomic<uint64_t> unprefixed_{0};
  std::atomic_flag adding_ = ATOMIC_FLAG_INIT;
};

// The prefix itself, as the lines above start: "[0x" and eight upper-case hex digits, "~" after a
// fallback's match, "] ". Writes it to `out` (at least kLinePrefixMax bytes) and returns its length.
constexpr size_t kLinePrefixMax = 16;
size_t FormatLinePrefix(uint32_t hash, bool fallback, char* out);

}  // namespace vykcn
