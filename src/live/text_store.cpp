#include "live/text_store.h"

#include <cstdlib>
#include <cstring>

namespace vykcn {

struct TextStore::Block {
  Block* previous;
};

namespace {
constexpr size_t kBlockBytes = size_t{1} << 20;
}

TextStore::~TextStore() {
  while (last_ != nullptr) {
    Block* previous = last_->previous;
    std::free(last_);
    last_ = previous;
  }
}

const char* TextStore::Keep(std::string_view text) noexcept {
  const size_t bytes = text.size() + 1;
  if (!Fits(bytes)) return nullptr;
  if (bytes > left_) {
    // A text longer than a block gets one of its own; the current block's room stays for the next.
    const size_t room = bytes > kBlockBytes ? bytes : kBlockBytes;
    auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + room));
    if (block == nullptr) return nullptr;
    block->previous = last_;
    last_ = block;
    char* start = reinterpret_cast<char*>(block + 1);
    if (room == bytes) {
      std::memcpy(start, text.data(), text.size());
      start[text.size()] = '\0';
      used_ += bytes;
      return start;
    }
    free_ = start;
    left_ = room;
  }
  char* copy = free_;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  free_ += bytes;
  left_ -= bytes;
  used_ += bytes;
  return copy;
}

}  // namespace vykcn
