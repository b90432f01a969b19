#pragma once
// The two decoders an encoder stream must satisfy: the project's own and libmspack.
#include <cstdint>
#include <optional>
#include <vector>

#include "lzx/decoder/decompress.h"
#include "mspack_cab.h"

namespace vykcn::lzx::test {

// Decodes with the project's decoder and a window of `windowSize` (0: the default); nothing
// unless it produced exactly `expectedSize` bytes with a success status.
inline std::optional<std::vector<uint8_t>> DecodeWithOurDecoder(const std::vector<uint8_t>& stream,
                                                               size_t expectedSize, uint32_t windowSize) {
  const CodecParameters parameters{0, windowSize, 0};
  DecompressionContext* context = nullptr;
  if (CreateDecompressionContext(kCodecTypeDefault, &parameters, 0, &context) != kStatusOk) return std::nullopt;
  std::vector<uint8_t> out(expectedSize + 1);
  size_t produced = out.size();
  const int32_t status = Decompress(context, out.data(), &produced, stream.data(), stream.size());
  DestroyDecompressionContext(context);
  if (status != kStatusOk || produced != expectedSize) return std::nullopt;
  out.resize(produced);
  return out;
}

}  // namespace vykcn::lzx::test
