// Compiled against the frozen decoder's sources, with -Dvykcn=vykcn_reference (see
// reference_decoder.h): every name below in namespace vykcn is the frozen one. It reaches inside a
// context the way the frozen commit allows: through the decoder's testing door where the commit has
// one, else through the state header of its layout (the one-walker decoder's decoder_state.h, or the
// decoder.h before it).
#include "reference_decoder.h"

#include <cstring>

#include "lzx/decoder/decompress.h"
#if __has_include("lzx/decoder/decoder_testing.h")
#include "lzx/decoder/decoder_testing.h"
#elif __has_include("lzx/decoder/decoder_state.h")
#include "lzx/decoder/decoder_state.h"
#include "lzx/decoder/fast_loop.h"
#else
#include "lzx/decoder/decoder.h"
#endif

namespace reference_lzx {

namespace lzx = vykcn::lzx;  // the frozen decoder's namespace, renamed by the macro

void* Create(uint32_t windowSize, uint32_t flags) {
  const lzx::CodecParameters parameters{0, windowSize, 0};
  lzx::DecompressionContext* context = nullptr;
  if (lzx::CreateDecompressionContext(0, &parameters, flags, &context) != lzx::kStatusOk) return nullptr;
  return context;
}

int32_t Decompress(void* context, uint8_t* destination, size_t* destinationSize, const uint8_t* source,
                   size_t sourceSize) {
  return lzx::Decompress(static_cast<lzx::DecompressionContext*>(context), destination, destinationSize, source,
                         sourceSize);
}

#if __has_include("lzx/decoder/decoder_testing.h")
void ClearWindow(void* context) { lzx::FillWindow(static_cast<lzx::DecompressionContext*>(context), 0); }

void UseBaselineFastLoop(void* context) { lzx::UseBaselineFastLoop(static_cast<lzx::DecompressionContext*>(context)); }
#else
void ClearWindow(void* context) {
  lzx::LzxDecoder& d = static_cast<lzx::DecompressionContext*>(context)->decoder;
  std::memset(d.window, 0, d.windowSize + lzx::kWindowMirrorSize);
}

void UseBaselineFastLoop(void* context) {
#if __has_include("lzx/decoder/decoder_state.h")
  static_cast<lzx::DecompressionContext*>(context)->decoder.fastLoops = &lzx::ChooseFastLoops(true);
#else
  static_cast<lzx::DecompressionContext*>(context)->decoder.fastLoopBmi2 = 0;
#endif
}
#endif

void Destroy(void* context) { lzx::DestroyDecompressionContext(static_cast<lzx::DecompressionContext*>(context)); }

}  // namespace reference_lzx
