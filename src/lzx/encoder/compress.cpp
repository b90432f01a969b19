// The encoder's entry point: checks the options, codes the stream and frames it.
#include "lzx/encoder/compress.h"

#include <stdexcept>

#include "lzx/encoder/chunk_framing.h"
#include "lzx/encoder/stored_stream.h"
#include "lzx/encoder/stream_encoder.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

namespace {

constexpr size_t kMaxInputSize = size_t{1} << 30;

}  // namespace

std::vector<uint8_t> CompressLzx(const uint8_t* data, size_t size, const CompressOptions& options) {
  if (size > kMaxInputSize) throw std::length_error("LZX input larger than 1 GiB");
  // Decoders compare operands with the size as unsigned numbers: from 2^31 on, negative operands
  // that must stay untouched would fall below it.
  if (options.callTranslationSize >= 0x80000000u) {
    throw std::invalid_argument("call translation size of 2^31 or more");
  }
  CompressOptions resolved = options;
  if (resolved.windowSize == 0) resolved.windowSize = kDefaultWindowSize;
  if (!IsValidWindowSize(resolved.windowSize)) throw std::invalid_argument("LZX window size not supported");

  std::vector<uint8_t> out;
  if (options.level == CompressionLevel::kStore) {
    const ChunkedBitWriter stream = EncodeStoredStream(data, size, resolved.callTranslationSize);
    if (FrameChunks(stream.Bytes(), stream.ChunkEnds(), size, out)) return out;
    throw std::logic_error("LZX chunk too large for its header");  // a stored chunk holds 32768 bytes and a header
  }
  // Blocks of many units can, in rare skewed cases, give a chunk more compressed bytes than its
  // header can hold; blocks of one unit never do, since such a unit falls back to raw bytes.
  for (bool singleUnitBlocks : {false, true}) {
    const ChunkedBitWriter stream = EncodeStream(data, size, resolved, EffortOf(options.level), singleUnitBlocks);
    if (FrameChunks(stream.Bytes(), stream.ChunkEnds(), size, out)) return out;
  }
  throw std::logic_error("LZX chunk too large for its header");
}

}  // namespace vykcn::lzx
