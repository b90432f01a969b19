#pragma once
// The translation loader's decompressor: LZX, codec type 0, the module's window, no flags
// (DecodeTranslationStream, formats/translation_resource.h).
#include "translation/stream_decoder.h"

namespace vykcn {

class LzxStreamDecoder final : public StreamDecoder {
 public:
  lzx::DecompressStatus Decode(uint8_t* destination, size_t* destinationSize, const uint8_t* source,
                               size_t sourceSize) override;
};

}  // namespace vykcn
