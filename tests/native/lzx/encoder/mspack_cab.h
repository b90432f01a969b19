#pragma once
// Independent check of encoder streams: the chunks are wrapped into an in-memory cabinet (one
// LZX folder, window 2^18, one data block per chunk) and extracted with libmspack through a
// memory-backed mspack_system.
#include <cstdint>
#include <map>
#include <string>
#include <optional>
#include <vector>

namespace vykcn::test {

// Splits a framed stream into its chunks: (compressed bytes, uncompressed size) pairs. Returns
// nothing when the framing is malformed.
struct FramedChunk {
  std::vector<uint8_t> data;
  uint32_t produced;
};
std::optional<std::vector<FramedChunk>> SplitFramedStream(const std::vector<uint8_t>& stream);

// A framed stream wrapped into a cabinet once, then extracted by libmspack as often as wanted
// (benchmarks time Extract alone).
class LibmspackCabinet {
 public:
  explicit LibmspackCabinet(const std::vector<uint8_t>& stream);
  // False when the framing is malformed or libmspack reports an error.
  bool Extract();
  // What the last successful Extract produced.
  const std::vector<uint8_t>& output() { return files_["out"]; }

 private:
  std::map<std::string, std::vector<uint8_t>> files_;  // the memory-backed file system
  bool framed_ = false;
};

// Decodes the framed stream with libmspack; nothing when it reports an error.
std::optional<std::vector<uint8_t>> DecodeWithLibmspack(const std::vector<uint8_t>& stream);

}  // namespace vykcn::test
