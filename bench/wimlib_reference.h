#pragma once
// wimlib's LZX decompressor as the reference a benchmark compares with: it decodes wimlib's own
// compression (level 100) of the same bytes, in independent chunks.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct wimlib_decompressor;

namespace vykcn::bench {

class WimlibReference {
 public:
  // Compresses `original` in chunks of `chunk` bytes; a chunk wimlib cannot shrink is stored.
  WimlibReference(const std::vector<uint8_t>& original, size_t chunk);
  ~WimlibReference();
  WimlibReference(const WimlibReference&) = delete;
  WimlibReference& operator=(const WimlibReference&) = delete;

  // Decodes every chunk into `out` (sized as the original); false when wimlib fails. Stored
  // chunks are copied.
  bool Decode(std::vector<uint8_t>& out) const;
  bool usable() const { return decompressor_ != nullptr; }

 private:
  const std::vector<uint8_t>& original_;
  size_t chunk_;
  std::vector<std::vector<uint8_t>> compressed_;  // empty = stored
  wimlib_decompressor* decompressor_ = nullptr;
};

}  // namespace vykcn::bench
