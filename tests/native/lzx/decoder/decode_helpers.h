#pragma once
// Runs the public decoder over a whole input, the way the translation loader does.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "formats/translation_resource.h"
#include "lzx/decoder/decompress.h"

namespace vykcn::lzx::test {

struct DecodeResult {
  int32_t status = -1;
  std::vector<uint8_t> bytes;  // exactly the produced bytes
};

inline DecodeResult DecodeStream(const std::vector<uint8_t>& source, size_t capacity,
                                 uint32_t windowSize = kTranslationWindowSize) {
  DecodeResult result;
  const CodecParameters parameters{0, windowSize, 0};
  DecompressionContext* context = nullptr;
  if (CreateDecompressionContext(0, &parameters, 0, &context) != kStatusOk) return result;
  // The source in a block of exactly its size, so that a sanitizer build sees any read past it.
  std::unique_ptr<uint8_t[]> exact(new uint8_t[source.size() + (source.empty() ? 1 : 0)]);
  if (!source.empty()) std::memcpy(exact.get(), source.data(), source.size());
  std::vector<uint8_t> destination(capacity + 1, 0xCC);  // one guard byte past the capacity
  size_t size = capacity;
  result.status = Decompress(context, destination.data(), &size, exact.get(), source.size());
  DestroyDecompressionContext(context);
  if (destination[capacity] != 0xCC) result.status = 0x7FFFFFFF;  // wrote past the capacity
  destination.resize(size <= capacity ? size : capacity);
  result.bytes = destination;
  return result;
}

}  // namespace vykcn::lzx::test
