#pragma once
// Random complete prefix codes, for the tests that build decode tables from many shapes of code.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace vykcn::lzx::test {

// The code lengths of a random complete code: split random leaves (depth < 16) until there are
// `leaves` of them, then give the depths to random symbols of the alphabet. The same seed gives
// the same code.
inline std::vector<uint8_t> RandomCompleteLengths(size_t alphabet, size_t leaves, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> depths = {0};
  while (depths.size() < leaves) {
    const size_t i = rng() % depths.size();
    if (depths[i] >= 16) continue;
    ++depths[i];
    depths.push_back(depths[i]);
  }
  std::vector<unsigned> symbols(alphabet);
  for (unsigned i = 0; i < alphabet; ++i) symbols[i] = i;
  std::shuffle(symbols.begin(), symbols.end(), rng);
  std::vector<uint8_t> lengths(alphabet, 0);
  for (size_t i = 0; i < leaves; ++i) lengths[symbols[i]] = depths[i];
  return lengths;
}

}  // namespace vykcn::lzx::test
