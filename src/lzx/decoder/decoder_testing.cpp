#include "lzx/decoder/decoder_testing.h"

#include <cstring>

#include "lzx/decoder/fast_loop.h"

namespace vykcn::lzx {

void UseBaselineFastLoop(DecompressionContext* context) {
  context->decoder.direct.fastLoops = &ChooseFastLoops(true);
}

void FillWindow(DecompressionContext* context, uint8_t byte) {
  const WindowState& window = context->decoder.window;
  std::memset(window.bytes, byte, window.size + kWindowMirrorSize);
}

}  // namespace vykcn::lzx
