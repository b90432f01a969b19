#pragma once
// One published table of the test build's live translations: a host text's hash to the translation's
// text, wherever in memory that text lies (the module's own image, or the store of texts a reload
// brought). Built on the build's own thread, never changed once published, and read by any number of
// lookups at once: an open-addressing table of (hash, text) pairs, at least twice as many slots as
// hashes, so that a lookup reads one slot, or two.
#include <cstddef>
#include <cstdint>

namespace vykcn {

class LiveIndex {
 public:
  // An empty index with room for `hashes` distinct hashes; valid() is false when memory ran out.
  explicit LiveIndex(size_t hashes) noexcept;
  ~LiveIndex();
  LiveIndex(const LiveIndex&) = delete;
  LiveIndex& operator=(const LiveIndex&) = delete;

  bool valid() const { return slots_ != nullptr; }

  // The text stored under `hash`, or null.
  const char* lookup(uint32_t hash) const {
    for (size_t at = Home(hash);; at = (at + 1) & mask_) {
      const Slot& slot = slots_[at];
      if (slot.text == nullptr) return nullptr;
      if (slot.hash == hash) return slot.text;
    }
  }

  // Before publication only: stores `text` (not null) under `hash`, which must not be stored yet,
  // and no more hashes than the index was made for.
  void Insert(uint32_t hash, const char* text) noexcept;

  // Before publication only: visit(hash, text&) for every stored pair; the visitor may point the
  // text elsewhere (at a copy of the same bytes).
  template <typename Visit>
  void Rewrite(Visit&& visit) {
    for (size_t at = 0; at <= mask_; ++at) {
      if (slots_[at].text != nullptr) visit(slots_[at].hash, slots_[at].text);
    }
  }

  template <typename Visit>
  void ForEach(Visit&& visit) const {
    for (size_t at = 0; at <= mask_; ++at) {
      if (slots_[at].text != nullptr) visit(slots_[at].hash, slots_[at].text);
    }
  }

  size_t size() const { return size_; }
  // The memory the index itself takes (its texts aside).
  size_t bytes() const { return sizeof *this + (mask_ + 1) * sizeof(Slot); }

 private:
  struct Slot {
    uint32_t hash;
    const char* text;  // null: an empty slot
  };

  // The subtitle hash's low bits follow the text's last byte too closely: the slot comes from the
  // high bits of a multiplicative hash.
  size_t Home(uint32_t hash) const {
    return static_cast<size_t>((static_cast<uint64_t>(hash) * 0x9E3779B97F4A7C15ull) >> shift_) & mask_;
  }

  Slot* slots_ = nullptr;
  size_t mask_ = 0;
  unsigned shift_ = 63;
  size_t size_ = 0;
};

}  // namespace vykcn
