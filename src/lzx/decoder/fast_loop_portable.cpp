// The fast loop's one copy on processors without CPU-specific code (see x86/ for those with it).
#include "lzx/decoder/fast_loop.h"

namespace vykcn::lzx {

namespace {

template <bool kAligned>
bool Portable(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target, const uint8_t* inLimit) {
  return RunFastLoop<kAligned, PortableWords>(d, out, outLimit, target, inLimit);
}

constexpr FastLoops kPortable{Portable<false>, Portable<true>};

}  // namespace

const FastLoops& ChooseFastLoops(bool) { return kPortable; }

}  // namespace vykcn::lzx
