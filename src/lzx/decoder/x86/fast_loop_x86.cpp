// The fast loop's copies for x86-64. The module must run on every x86-64 processor, whose baseline
// is SSE2: one copy for that, and one compiled for BMI2 (shifts by a count in any register, leaving
// the flags alone: one instruction where the baseline moves the count to CL first), chosen where
// the processor has BMI2. Both load the bit stream's words with one SSE2 shuffle.
#include <cpuid.h>
#include <emmintrin.h>

#include "lzx/decoder/fast_loop.h"

namespace vykcn::lzx {
namespace {

// Words w0..w3 (w0 in the low 16 bits), reversed into stream order from the top.
struct Sse2Words {
  static uint64_t Load(const uint8_t* p) {
    const __m128i reversed = _mm_shufflelo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), 0x1B);
    return static_cast<uint64_t>(_mm_cvtsi128_si64(reversed));
  }
};

template <bool kAligned>
bool Baseline(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target, const uint8_t* inLimit) {
  return RunFastLoop<kAligned, Sse2Words>(d, out, outLimit, target, inLimit);
}

template <bool kAligned>
[[gnu::target("bmi2")]] bool Bmi2(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target,
                                  const uint8_t* inLimit) {
  return RunFastLoop<kAligned, Sse2Words>(d, out, outLimit, target, inLimit);
}

}  // namespace

const FastLoops& ChooseFastLoops(bool baseline) {
  static constexpr FastLoops kBaseline{Baseline<false>, Baseline<true>};
  static constexpr FastLoops kBmi2{Bmi2<false>, Bmi2<true>};
  static const bool hasBmi2 = [] {  // cpuid once: under a hypervisor it takes microseconds
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_BMI2) != 0;
  }();
  return hasBmi2 && !baseline ? kBmi2 : kBaseline;
}

}  // namespace vykcn::lzx
