#include "lzx/encoder/lzx_encoder_e8.h"

#include <algorithm>

#include "lzx/encoder/lzx_encoder_format.h"

namespace vykcn::lzx {

namespace {
constexpr size_t kTranslatedChunks = 32768;
constexpr size_t kUntranslatedTail = 10;
}  // namespace

void TranslateCallsForEncoding(uint8_t* data, size_t size, uint32_t translation_size) {
  if (translation_size == 0) return;
  const int64_t file_size = translation_size;
  for (size_t chunk = 0; chunk < kTranslatedChunks && chunk * kChunkSize < size; ++chunk) {
    const size_t start = chunk * kChunkSize;
    const size_t n = std::min<size_t>(kChunkSize, size - start);
    if (n <= kUntranslatedTail) break;
    uint8_t* p = data + start;
    for (size_t i = 0; i < n - kUntranslatedTail;) {
      if (p[i] != 0xE8) {
        ++i;
        continue;
      }
      const int64_t pos = static_cast<int64_t>(start + i);
      const int32_t relative = static_cast<int32_t>(static_cast<uint32_t>(p[i + 1]) | static_cast<uint32_t>(p[i + 2]) << 8 |
                                                    static_cast<uint32_t>(p[i + 3]) << 16 |
                                                    static_cast<uint32_t>(p[i + 4]) << 24);
      if (relative >= -pos && relative < file_size) {
        const int64_t absolute = relative < file_size - pos ? relative + pos : relative - file_size;
        const uint32_t v = static_cast<uint32_t>(absolute);
        p[i + 1] = static_cast<uint8_t>(v);
        p[i + 2] = static_cast<uint8_t>(v >> 8);
        p[i + 3] = static_cast<uint8_t>(v >> 16);
        p[i + 4] = static_cast<uint8_t>(v >> 24);
      }
      i += 5;
    }
  }
}

}  // namespace vykcn::lzx
