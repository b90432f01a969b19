#include "font_building/bc3_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "font_building/bc3_block.h"

namespace vykcn::tool {
namespace {

// A candidate pair of endpoints in "range" form: lo <= hi. The eight-value mode stores them as
// a0 = hi > a1 = lo; the six-value mode as a0 = lo <= a1 = hi, with 0 and 255 available for free.
struct AlphaFit {
  int lo = 0;
  int hi = 0;
  uint32_t error = UINT32_MAX;
  uint8_t indices[16] = {};
};

void StoredEndpoints(bool eightValues, int lo, int hi, uint8_t* a0, uint8_t* a1) {
  *a0 = static_cast<uint8_t>(eightValues ? hi : lo);
  *a1 = static_cast<uint8_t>(eightValues ? lo : hi);
}

bool IsValidRange(bool eightValues, int lo, int hi) {
  if (lo < 0 || hi > 255) return false;
  return eightValues ? lo < hi : lo <= hi;
}

// Position of each palette entry on the segment lo..hi (0 = lo, 1 = hi); negative for the fixed
// 0 and 255 of the six-value mode, which do not move with the endpoints.
float PalettePosition(bool eightValues, int index) {
  if (eightValues) {
    if (index == 0) return 1.0f;
    if (index == 1) return 0.0f;
    return static_cast<float>(8 - index) / 7.0f;
  }
  if (index == 0) return 0.0f;
  if (index == 1) return 1.0f;
  if (index >= 6) return -1.0f;
  return static_cast<float>(index - 1) / 5.0f;
}

// Squared error of the block with the best index per texel; stops early once past `limit`.
uint32_t Evaluate(const uint8_t alpha[16], bool eightValues, int lo, int hi, uint32_t limit,
                  uint8_t indices[16]) {
  uint8_t a0, a1, palette[kAlphaPaletteSize];
  StoredEndpoints(eightValues, lo, hi, &a0, &a1);
  BuildAlphaPalette(a0, a1, palette);
  uint32_t total = 0;
  for (int i = 0; i < 16; ++i) {
    uint32_t best = UINT32_MAX;
    uint8_t bestIndex = 0;
    for (int k = 0; k < kAlphaPaletteSize; ++k) {
      const int d = alpha[i] - palette[k];
      const uint32_t e = static_cast<uint32_t>(d * d);
      if (e < best) {
        best = e;
        bestIndex = static_cast<uint8_t>(k);
      }
    }
    indices[i] = bestIndex;
    total += best;
    if (total > limit) return UINT32_MAX;
  }
  return total;
}

bool TryCandidate(const uint8_t alpha[16], bool eightValues, int lo, int hi, AlphaFit* best) {
  if (!IsValidRange(eightValues, lo, hi)) return false;
  uint8_t indices[16];
  const uint32_t error = Evaluate(alpha, eightValues, lo, hi, best->error, indices);
  if (error >= best->error) return false;
  best->lo = lo;
  best->hi = hi;
  best->error = error;
  std::memcpy(best->indices, indices, sizeof indices);
  return true;
}

// The endpoints that minimise the squared error for the current index choice, rounded.
bool LeastSquaresEndpoints(const uint8_t alpha[16], bool eightValues, const uint8_t indices[16], int* lo,
                           int* hi) {
  double a = 0, b = 0, c = 0, x = 0, y = 0;
  for (int i = 0; i < 16; ++i) {
    const double t = PalettePosition(eightValues, indices[i]);
    if (t < 0) continue;
    a += (1 - t) * (1 - t);
    b += t * (1 - t);
    c += t * t;
    x += (1 - t) * alpha[i];
    y += t * alpha[i];
  }
  const double det = a * c - b * b;
  if (std::fabs(det) < 1e-9) return false;
  *lo = static_cast<int>(std::lround(std::clamp((c * x - b * y) / det, 0.0, 255.0)));
  *hi = static_cast<int>(std::lround(std::clamp((a * y - b * x) / det, 0.0, 255.0)));
  return true;
}

void RefineMode(const uint8_t alpha[16], bool eightValues, int lo, int hi, AlphaFit* best) {
  if (eightValues && lo == hi) {
    if (hi < 255) ++hi; else --lo;
  }
  AlphaFit fit;
  TryCandidate(alpha, eightValues, lo, hi, &fit);
  for (int round = 0; round < 4; ++round) {
    int newLo, newHi;
    if (!LeastSquaresEndpoints(alpha, eightValues, fit.indices, &newLo, &newHi)) break;
    if (!TryCandidate(alpha, eightValues, newLo, newHi, &fit)) break;
  }
  // Local search: move either endpoint by up to two steps while that lowers the error.
  for (int step = 0; step < 64 && fit.error > 0; ++step) {
    const int centreLo = fit.lo, centreHi = fit.hi;
    bool improved = false;
    for (int dLo = -2; dLo <= 2; ++dLo) {
      for (int dHi = -2; dHi <= 2; ++dHi) {
        if (dLo == 0 && dHi == 0) continue;
        improved |= TryCandidate(alpha, eightValues, centreLo + dLo, centreHi + dHi, &fit);
      }
    }
    if (!improved) break;
  }
  if (fit.error < best->error) {
    *best = fit;
    best->error = fit.error;
  }
}

void WriteAlphaBlock(bool eightValues, const AlphaFit& fit, uint8_t block[8]) {
  StoredEndpoints(eightValues, fit.lo, fit.hi, &block[0], &block[1]);
  uint64_t bits = 0;
  for (int i = 0; i < 16; ++i) bits |= static_cast<uint64_t>(fit.indices[i]) << (3 * i);
  for (int i = 0; i < 6; ++i) block[2 + i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace

void EncodeAlphaBlock(const uint8_t alpha[16], uint8_t block[8]) {
  const auto [minIt, maxIt] = std::minmax_element(alpha, alpha + 16);
  if (*minIt == *maxIt) {  // one value: both endpoints carry it, every index 0
    block[0] = block[1] = *minIt;
    std::memset(block + 2, 0, 6);
    return;
  }
  // Range of the values that the six-value mode's fixed 0 and 255 do not already cover.
  int innerLo = 255, innerHi = 0;
  for (int i = 0; i < 16; ++i) {
    if (alpha[i] == 0 || alpha[i] == 255) continue;
    innerLo = std::min<int>(innerLo, alpha[i]);
    innerHi = std::max<int>(innerHi, alpha[i]);
  }
  if (innerLo > innerHi) innerLo = innerHi = 0;

  AlphaFit eight, six;
  RefineMode(alpha, false, innerLo, innerHi, &six);
  if (six.error > 0) RefineMode(alpha, true, *minIt, *maxIt, &eight);
  if (six.error <= eight.error) {
    WriteAlphaBlock(false, six, block);
  } else {
    WriteAlphaBlock(true, eight, block);
  }
}

std::vector<uint8_t> EncodeWhiteBc3(const uint8_t* coverage, int width, int height) {
  const int blocksWide = width / 4, blocksHigh = height / 4;
  std::vector<uint8_t> out(size_t(blocksWide) * blocksHigh * kBc3BlockSize);
  // Colour half: both endpoints pure white (RGB565 0xFFFF), every index 0.
  static const uint8_t kWhiteColorBlock[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  for (int by = 0; by < blocksHigh; ++by) {
    for (int bx = 0; bx < blocksWide; ++bx) {
      uint8_t alpha[16];
      for (int row = 0; row < 4; ++row) {
        std::memcpy(alpha + 4 * row, coverage + (size_t(by) * 4 + row) * width + size_t(bx) * 4, 4);
      }
      uint8_t* block = &out[(size_t(by) * blocksWide + bx) * kBc3BlockSize];
      EncodeAlphaBlock(alpha, block);
      std::memcpy(block + 8, kWhiteColorBlock, 8);
    }
  }
  return out;
}

}  // namespace vykcn::tool
