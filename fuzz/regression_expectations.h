#pragma once
// What a decoder makes of a fuzz input (the layout of decompress_fuzz_input.h), written as text
// lines, one per Decompress call:
//   <input name> <call> <status as 8 hex digits> <produced size> <FNV-1a 64 of the produced bytes>
// fuzz/regressions/expected.txt holds these lines from the frozen reference decoder
// (reference/reference_expectations.cpp) for the inputs in fuzz/regressions, and the native tests
// check the current decoder against them (tests/native/lzx/decoder/fuzz_seed_replay_test.cpp).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vykcn::fuzz {

struct CallPlan {
  uint32_t windowSize;  // 0: the default
  bool continuous;      // ContinuousStream
  int calls;            // 1, or 2 on one context
  bool baseline;        // the fast loop's baseline copy (current decoder only)
  size_t capacity;
};

// Reads the 4 option bytes; false for an input shorter than them.
inline bool ReadCallPlan(const uint8_t* data, size_t size, CallPlan* plan) {
  if (size < 4) return false;
  const unsigned windowIndex = data[0] & 7;
  plan->windowSize = windowIndex == 7 ? 0u : 32768u << windowIndex;
  plan->continuous = (data[0] & 8) != 0;
  plan->calls = (data[0] & 16) ? 2 : 1;
  plan->baseline = (data[0] & 32) != 0;
  size_t capacity = static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8 | static_cast<size_t>(data[3]) << 16;
  plan->capacity = capacity > (size_t{256} << 10) ? size_t{256} << 10 : capacity;
  return true;
}

inline uint64_t Fnv1a64(const uint8_t* p, size_t n) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 0x100000001B3ull;
  return hash;
}

inline std::string ExpectationLine(const std::string& name, int call, int32_t status, const uint8_t* produced,
                                   size_t size) {
  char line[160];
  std::snprintf(line, sizeof line, " %d %08X %zu %016llX", call, static_cast<uint32_t>(status), size,
                static_cast<unsigned long long>(Fnv1a64(produced, size)));
  return name + line;
}

}  // namespace vykcn::fuzz
