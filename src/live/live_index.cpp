#include "live/live_index.h"

#include <new>

namespace vykcn {

LiveIndex::LiveIndex(size_t hashes) noexcept {
  // A power of two, at least twice the hashes: probes stay short and an empty slot always ends one.
  size_t slots = 2;
  unsigned bits = 1;
  while (slots < 2 * hashes) {
    slots *= 2;
    ++bits;
  }
  slots_ = new (std::nothrow) Slot[slots]();
  if (slots_ == nullptr) return;
  mask_ = slots - 1;
  shift_ = 64 - bits;
}

LiveIndex::~LiveIndex() { delete[] slots_; }

void LiveIndex::Insert(uint32_t hash, const char* text) noexcept {
  size_t at = Home(hash);
  while (slots_[at].text != nullptr) at = (at + 1) & mask_;
  slots_[at] = Slot{hash, text};
  ++size_;
}

}  // namespace vykcn
