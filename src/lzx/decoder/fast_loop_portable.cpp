// The fast loop's one copy where no CPU-specific code chooses (x86/ does on x86-64).
#include "lzx/decoder/fast_loop.h"

namespace vykcn::lzx {

template <bool kAligned>
static bool Portable(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target, const uint8_t* inLimit) {
  return RunFastLoop<kAligned, PortableWords>(d, out, outLimit, target, inLimit);
}

const FastLoops& ChooseFastLoops(bool) {
  static constexpr FastLoops kPortable{Portable<false>, Portable<true>};
  return kPortable;
}

}  // namespace vykcn::lzx
