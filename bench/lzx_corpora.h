#pragma once
// Corpora shared by the LZX benchmarks: two Windows binaries with call translation on (one with its
// debug sections stripped by the cross toolchain's strip, as binaries ship, one read as it is) and
// random bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::bench {

struct LzxCorpus {
  std::string name;
  std::vector<uint8_t> data;    // empty when its file (or the strip tool) is missing
  uint32_t callTranslationSize;  // call translation size for our encoder; 0 = off
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The stripped copy of `strippedSource`, `debugBinary` as it is, then `randomBytes` random bytes.
std::vector<LzxCorpus> BinaryAndRandomCorpora(const std::string& strippedSource, const std::string& debugBinary,
                                              size_t randomBytes);

}  // namespace vykcn::bench
