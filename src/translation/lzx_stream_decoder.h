#pragma once
// The translation loader's decompressor: LZX, codec type 0, the module's window, no flags.
#include "translation/stream_decoder.h"

namespace vykcn {

class LzxStreamDecoder final : public StreamDecoder {
 public:
  int32_t Create(void** context) override;
  int32_t Decompress(void* context, uint8_t* destination, uint64_t* destinationSize,
                     const uint8_t* source, uint64_t sourceSize) override;
  void Destroy(void* context) override;
};

}  // namespace vykcn
