#pragma once
// The decompressor as the translation loader sees it: one framed stream decoded with the loader's
// fixed settings, in one call (a context created, Decompress, the context destroyed).
#include <cstddef>
#include <cstdint>

#include "lzx/decoder/decompress.h"

namespace vykcn {

class StreamDecoder {
 public:
  virtual ~StreamDecoder() = default;
  // On entry *destinationSize is the destination's capacity; on return the number of bytes
  // produced. A context that cannot be created returns its creation status.
  virtual lzx::DecompressStatus Decode(uint8_t* destination, size_t* destinationSize, const uint8_t* source,
                                       size_t sourceSize) = 0;
};

}  // namespace vykcn
