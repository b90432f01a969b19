#pragma once
// Resource 102, the translation resource: the TranslationImage's size (u32, little-endian), then
// the image as a chunk-framed LZX stream decoded with a 262144-byte window.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lzx/decoder/decompress.h"

namespace vykcn {

constexpr size_t kResourceHeaderSize = 4;           // u32 image size before the stream
constexpr uint32_t kTranslationWindowSize = 262144; // the module's fixed decompression window

struct TranslationResourceParts {
  uint32_t imageSize;     // as stored
  const uint8_t* stream;  // the framed stream, inside the resource
  size_t streamSize;
};

// False when the resource is shorter than its size header.
bool SplitTranslationResource(const uint8_t* resource, size_t size, TranslationResourceParts* parts);

// Decodes a framed stream with the module's decoder, as its loader does: a context created with
// its settings and, unless the toolkit asks for another (a power of two from 32 KiB to 2 MiB), its
// window, one Decompress call, the context destroyed. On entry *produced is the destination's
// capacity; on return the number of bytes produced. Returns the decoder's status (a context that
// cannot be created returns its creation status, and nothing is produced).
lzx::DecompressStatus DecodeTranslationStream(const uint8_t* stream, size_t streamSize, uint8_t* destination,
                                              size_t* produced, uint32_t windowSize = kTranslationWindowSize);

// The most bytes the stream's chunk headers let the decoder produce, read without decoding (by the
// decoder's own walk over them). A reader of untrusted resources allocates no more than this,
// whatever the size header says.
size_t FramedStreamOutputBound(const uint8_t* stream, size_t streamSize);

// The whole resource: `imageSize` as the size header, then `stream`, the image as a framed stream.
// The toolkit's packer (tools/common/translation_packing.h) compresses; the module only reads.
std::vector<uint8_t> JoinTranslationResource(uint32_t imageSize, const std::vector<uint8_t>& stream);

}  // namespace vykcn
