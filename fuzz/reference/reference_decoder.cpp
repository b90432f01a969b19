// Compiled against the frozen decoder's sources, with -Dvykcn=vykcn_reference (see
// reference_decoder.h): every name below in namespace vykcn is the frozen one.
#include "reference_decoder.h"

#include <cstring>

#include "lzx/decoder/decoder.h"
#include "lzx/decoder/decompress.h"

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

void ClearWindow(void* context) {
  lzx::LzxDecoder& d = static_cast<lzx::DecompressionContext*>(context)->decoder;
  std::memset(d.window, 0, d.windowSize + lzx::kWindowMirrorSize);
}

void UseBaselineFastLoop(void* context) { static_cast<lzx::DecompressionContext*>(context)->decoder.fastLoopBmi2 = 0; }

void Destroy(void* context) { lzx::DestroyDecompressionContext(static_cast<lzx::DecompressionContext*>(context)); }

}  // namespace reference_lzx
