#pragma once
// Independent check of encoder streams: the chunks are wrapped into an in-memory cabinet (one
// LZX folder with the stream's window, one data block per chunk) and extracted with libmspack
// through a memory-backed mspack_system.
#include <cstdint>
#include <map>
#include <string>
#include <optional>
#include <vector>

namespace vykcn::lzx::test {

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
  // `windowSize`: the stream's window, a power of two from 32 KiB to 2 MiB.
  LibmspackCabinet(const std::vector<uint8_t>& stream, uint32_t windowSize);
  // False when the framing is malformed or libmspack reports an error.
  bool Extract();
  // What the last successful Extract produced.
  const std::vector<uint8_t>& output() { return files_["out"]; }

 private:
  std::map<std::string, std::vector<uint8_t>> files_;  // the memory-backed file system
  bool framed_ = false;
};

// Decodes the framed stream with libmspack; nothing when it reports an error.
std::optional<std::vector<uint8_t>> DecodeWithLibmspack(const std::vector<uint8_t>& stream, uint32_t windowSize);

}  // namespace vykcn::lzx::test
