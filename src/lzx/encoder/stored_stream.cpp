#include "lzx/encoder/stored_stream.h"

#include <algorithm>
#include <vector>

#include "lzx/call_translation.h"
#include "lzx/encoder/block_policy.h"
#include "lzx/encoder/block_writer.h"
#include "lzx/encoder/items.h"
#include "lzx/encoder/tree_writer.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

namespace {

// As the compressing levels' largest block: whole chunks, so that only the stream's last block can
// have an odd length (decoders disagree on the padding after one).
constexpr uint32_t kStoredBlockBytes = 16 * kFrameSize;

}  // namespace

ChunkedBitWriter EncodeStoredStream(const uint8_t* data, size_t size, uint32_t callTranslationSize) {
  std::vector<uint8_t> translated;
  if (callTranslationSize != 0) {
    translated.assign(data, data + size);
    ApplyCallTranslation(translated.data(), size, callTranslationSize);
    data = translated.data();
  }
  ChunkedBitWriter writer;
  if (size == 0) return writer;  // no chunk, as the compressing levels write it
  writer.Reserve(size + size / kFrameSize * 4 + 64);
  WriteStreamHeader(writer, callTranslationSize);
  BlockPlan plan;
  plan.type = kBlockUncompressed;
  const RepeatQueue queue;
  PreviousTrees unused(0);  // an uncompressed block sends no trees
  for (size_t start = 0; start < size; start += kStoredBlockBytes) {
    const uint32_t blockSize = static_cast<uint32_t>(std::min<size_t>(kStoredBlockBytes, size - start));
    WriteBlockHeader(writer, plan, blockSize, queue, unused);
    // Chunk by chunk: the writer closes each chunk as its last byte goes out.
    for (uint32_t done = 0; done < blockSize;) {
      const uint32_t piece = std::min(blockSize - done, kFrameSize);
      writer.PutBytes(data + start + done, piece);
      writer.AdvanceOutput(piece);
      done += piece;
    }
  }
  writer.Finish();
  return writer;
}

}  // namespace vykcn::lzx
