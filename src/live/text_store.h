#pragma once
// The test build's append-only store of the texts that reloads brought: the host may still be
// drawing any text it was handed, so a text, once kept, stays where it is until the store is
// destroyed (in the module: never, as the process ends). Memory comes in blocks of 1 MiB (a longer
// text gets a block of its own), and a cap bounds the texts' bytes in all.
#include <cstddef>
#include <string_view>

namespace vykcn {

class TextStore {
 public:
  explicit TextStore(size_t cap) noexcept : cap_(cap) {}
  ~TextStore();
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;

  // Whether texts of `bytes` bytes in all, their 0 bytes counted, fit under the cap.
  bool Fits(size_t bytes) const { return bytes <= cap_ - used_; }

  // A copy of `text` followed by a 0 byte; null when it would pass the cap or memory ran out.
  const char* Keep(std::string_view text) noexcept;

  size_t used() const { return used_; }  // the texts' bytes, 0 bytes counted
  size_t cap() const { return cap_; }

 private:
  struct Block;  // a header before each block's texts, naming the block before it
  Block* last_ = nullptr;
  char* free_ = nullptr;  // the free room of the current block
  size_t left_ = 0;
  size_t used_ = 0;
  size_t cap_;
};

}  // namespace vykcn
