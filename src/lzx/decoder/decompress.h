#pragma once
// Decompressor for chunk-framed LZX streams (the translation resource's compression).
//
// Usage: CreateDecompressionContext, then Decompress (any number of times), then
// DestroyDecompressionContext. Nothing here throws.
#include <cstddef>
#include <cstdint>

namespace vykcn::lzx {

// What the decoder's calls return: the module's status codes, in the Windows result-code form (the
// numbers of E_OUTOFMEMORY and E_FAIL, named apart from the macros <windows.h> defines).
enum DecompressStatus : int32_t {
  kStatusOk = 0,
  kStatusOutOfMemory = static_cast<int32_t>(0x8007000Eu),  // the heap had no block for a context
  kStatusFail = static_cast<int32_t>(0x80004005u),         // every other failure
};

// Create flags (DecompressionContext::contextFlags).
constexpr uint32_t ContinuousStream = 1u << 0;   // keep the stream state from one Decompress to the next
constexpr uint32_t HeapOwned = 1u << 30;         // set by creation: destroy returns the block
constexpr uint32_t ExtraReservation = 1u << 31;  // reserves 32 KiB more (no effect on decoding)

// Codec types accepted by CreateDecompressionContext; both select LZX.
constexpr int32_t kCodecTypeDefault = 0;
constexpr int32_t kCodecTypeLzx = 1;

struct CodecParameters {
  uint32_t flags;       // kept in the context as parameterFlags; decoding ignores it
  uint32_t windowSize;  // power of two, 32 KiB to 2 MiB; 0 selects 128 KiB
  uint32_t reserved;    // ignored
};

struct DecompressionContext;  // opaque; defined in decompression_context.h

// Creates a context on the heap. `parameters` may be null (all fields 0). Returns kStatusOk and
// stores the context; kStatusOutOfMemory when the heap has no block; kStatusFail for a codec type
// other than 0 or 1 or a window size that is not a power of two from 32 KiB to 2 MiB. On failure
// `*context` is left alone.
DecompressStatus CreateDecompressionContext(int32_t codecType, const CodecParameters* parameters, uint32_t flags,
                                            DecompressionContext** context);

// Frees a context created by CreateDecompressionContext. Null is ignored.
void DestroyDecompressionContext(DecompressionContext* context);

// Decodes the framed stream `source` into `destination`. On entry *destinationSize is the
// destination's capacity; on return it is the number of bytes produced. Returns kStatusOk when the
// framing walk completed (a chunk that fails to decode adds 0 bytes, so a caller compares the
// produced size with the size it expects), kStatusFail when the context is not an LZX context, when
// a chunk header or its data would reach past the framed area, or when a chunk would not fit in
// the remaining capacity (then *destinationSize holds what was produced before it).
//
// The destination's bytes past the produced size are unspecified on return (a chunk that fails can
// leave bytes there), and nothing past the capacity is written. Without ContinuousStream the stream
// is decoded straight into the destination (it holds the whole stream from its first byte), so the
// destination must not overlap the source.
DecompressStatus Decompress(DecompressionContext* context, uint8_t* destination, size_t* destinationSize,
                            const uint8_t* source, size_t sourceSize);

}  // namespace vykcn::lzx
