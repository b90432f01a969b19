#pragma once
// The decompressor as the translation loader sees it: create a context with the loader's fixed
// settings, decode one framed stream, destroy. Statuses are Windows result codes (0 = success).
#include <cstdint>

namespace vykcn {

class StreamDecoder {
 public:
  virtual ~StreamDecoder() = default;
  // A negative status means no context was created.
  virtual int32_t Create(void** context) = 0;
  // On entry *destinationSize is the capacity; on return the number of bytes produced.
  virtual int32_t Decompress(void* context, uint8_t* destination, uint64_t* destinationSize,
                             const uint8_t* source, uint64_t sourceSize) = 0;
  virtual void Destroy(void* context) = 0;
};

}  // namespace vykcn
