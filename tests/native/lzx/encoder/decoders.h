#pragma once
// The two decoders an encoder stream must satisfy: the project's own and libmspack.
#include <cstdint>
#include <optional>
#include <vector>

#include "lzx/decoder/lzx_decompress.h"
#include "mspack_cab.h"

namespace vykcn::test {

// Decodes with the project's decoder (window 262144); nothing unless it produced exactly
// `expected_size` bytes with a success status.
inline std::optional<std::vector<uint8_t>> DecodeWithOurDecoder(const std::vector<uint8_t>& stream,
                                                               size_t expected_size) {
  const CodecParameters parameters{0, 262144, 0};
  DecompressionContext* context = nullptr;
  if (CreateDecompressionContext(kCodecTypeDefault, &parameters, 0, &context) != kStatusOk) return std::nullopt;
  std::vector<uint8_t> out(expected_size + 1);
  size_t produced = out.size();
  const int32_t status = Decompress(context, out.data(), &produced, stream.data(), stream.size());
  DestroyDecompressionContext(context);
  if (status != kStatusOk || produced != expected_size) return std::nullopt;
  out.resize(produced);
  return out;
}

}  // namespace vykcn::test
