#include "translation/lzx_stream_decoder.h"

#include "formats/translation_resource.h"

namespace vykcn {

lzx::DecompressStatus LzxStreamDecoder::Decode(uint8_t* destination, size_t* destinationSize, const uint8_t* source,
                                               size_t sourceSize) {
  return DecodeTranslationStream(source, sourceSize, destination, destinationSize);
}

}  // namespace vykcn
