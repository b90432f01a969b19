#include "translation/lzx_stream_decoder.h"

#include "formats/translation_resource.h"
#include "lzx/decoder/decompress.h"

namespace vykcn {

int32_t LzxStreamDecoder::Create(void** context) {
  const lzx::CodecParameters parameters{0, kTranslationWindowSize, 0};
  lzx::DecompressionContext* created = nullptr;
  const int32_t status = lzx::CreateDecompressionContext(lzx::kCodecTypeDefault, &parameters, 0, &created);
  if (status >= 0) *context = created;
  return status;
}

int32_t LzxStreamDecoder::Decompress(void* context, uint8_t* destination, uint64_t* destinationSize,
                                     const uint8_t* source, uint64_t sourceSize) {
  size_t size = static_cast<size_t>(*destinationSize);
  const int32_t status = lzx::Decompress(static_cast<lzx::DecompressionContext*>(context), destination,
                                         &size, source, static_cast<size_t>(sourceSize));
  *destinationSize = size;
  return status;
}

void LzxStreamDecoder::Destroy(void* context) {
  lzx::DestroyDecompressionContext(static_cast<lzx::DecompressionContext*>(context));
}

}  // namespace vykcn
