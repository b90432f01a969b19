#include "wimlib_reference.h"

#include <wimlib.h>

#include <algorithm>
#include <cstring>

namespace vykcn::bench {

WimlibReference::WimlibReference(const std::vector<uint8_t>& original, size_t chunk)
    : original_(original), chunk_(chunk) {
  wimlib_compressor* compressor = nullptr;
  if (wimlib_create_compressor(WIMLIB_COMPRESSION_TYPE_LZX, chunk, 100, &compressor) != 0) return;
  if (wimlib_create_decompressor(WIMLIB_COMPRESSION_TYPE_LZX, chunk, &decompressor_) != 0) {
    decompressor_ = nullptr;
    wimlib_free_compressor(compressor);
    return;
  }
  std::vector<uint8_t> buffer(chunk);
  for (size_t p = 0; p < original.size(); p += chunk) {
    const size_t n = std::min(chunk, original.size() - p);
    const size_t size = wimlib_compress(original.data() + p, n, buffer.data(), n - 1, compressor);
    compressed_.push_back(size ? std::vector<uint8_t>(buffer.begin(), buffer.begin() + size) : std::vector<uint8_t>{});
  }
  wimlib_free_compressor(compressor);
}

WimlibReference::~WimlibReference() {
  if (decompressor_ != nullptr) wimlib_free_decompressor(decompressor_);
}

bool WimlibReference::Decode(std::vector<uint8_t>& out) const {
  if (decompressor_ == nullptr || out.size() != original_.size()) return false;
  bool ok = true;
  size_t p = 0;
  for (const std::vector<uint8_t>& c : compressed_) {
    const size_t n = std::min(chunk_, original_.size() - p);
    if (c.empty()) {
      std::memcpy(out.data() + p, original_.data() + p, n);
    } else {
      ok &= wimlib_decompress(c.data(), c.size(), out.data() + p, n, decompressor_) == 0;
    }
    p += n;
  }
  return ok;
}

}  // namespace vykcn::bench
