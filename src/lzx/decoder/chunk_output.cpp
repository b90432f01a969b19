// Copying a finished chunk to the caller and undoing call translation on the copy. The window
// keeps the bytes as decoded, since later matches copy from them.
#include <cstring>

#include "lzx/call_translation.h"
#include "lzx/decoder/decoder.h"

namespace vykcn::lzx {

void TranslateCalls(LzxDecoder& d, uint8_t* data, uint32_t n) {
  UndoCallTranslation(data, n, d.translationOffset, d.translationSize);
  d.translationOffset += n;
}

void EmitChunk(LzxDecoder& d, uint32_t count, const uint8_t* source) {
  if (count == 0) return;
  const bool translateCalls = d.translationSize != 0 && d.chunkCount < kCallTranslationChunkLimit;
  if (source != d.outputCursor) std::memcpy(d.outputCursor, source, count);
  if (translateCalls) TranslateCalls(d, d.outputCursor, count);
}

}  // namespace vykcn::lzx
