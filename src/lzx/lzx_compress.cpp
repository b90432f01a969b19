// The encoder's driver. The input (after call translation, when asked for) is parsed chunk by
// chunk: each chunk's matches are found once, then parsed several times, each pass priced with
// the code lengths of the one before. Consecutive chunks share a block while one set of trees
// for both is cheaper than two; a finished block is parsed once more with its own codes, given
// the cheapest of the three block types, and written. Blocks therefore start at chunk
// boundaries, so an uncompressed block has an even length unless it ends the stream (decoders
// disagree on the padding after an odd one).
#include "lzx/lzx_compress.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "lzx/lzx_encoder_bitstream.h"
#include "lzx/lzx_encoder_blocks.h"
#include "lzx/lzx_encoder_e8.h"
#include "lzx/lzx_encoder_format.h"
#include "lzx/lzx_encoder_huffman.h"
#include "lzx/lzx_encoder_items.h"
#include "lzx/lzx_encoder_matchfinder.h"
#include "lzx/lzx_encoder_parse.h"

namespace vykcn::lzx {

namespace {

constexpr size_t kMaxInputSize = size_t{1} << 30;
constexpr size_t kInputPadding = 8;           // the match finder reads 4 bytes past any position
constexpr uint32_t kStandardChunkLimit = 0xFF00;  // a standard chunk's size must not start with 0xFF
constexpr uint32_t kSizedChunkLimit = 0x10000;
constexpr size_t kTrailerSize = 5;

struct ChunkWork {
  uint32_t start = 0;
  uint32_t size = 0;
  ChunkMatches matches;
  std::vector<LzItem> items;
  SymbolFrequencies freq;
};

class StreamEncoder {
 public:
  StreamEncoder(const uint8_t* data, size_t size, const CompressOptions& options, uint32_t max_block_chunks)
      : options_(options),
        size_(static_cast<uint32_t>(size)),
        max_block_chunks_(max_block_chunks),
        input_(data, data + size),
        finder_(nullptr, 0, kMaxMatchOffset, std::max(1, options.maxSearchDepth)),
        parser_(NiceLength(options)),
        model_(CostModel::Initial()) {
    input_.resize(size + kInputPadding, 0);
    TranslateCallsForEncoding(input_.data(), size, options.translationSize);
    finder_ = BinaryTreeMatchFinder(input_.data(), size_, kMaxMatchOffset, std::max(1, options.maxSearchDepth));
  }

  void Run() {
    for (uint32_t start = 0; start < size_; start += kChunkSize) {
      auto chunk = std::make_unique<ChunkWork>();
      chunk->start = start;
      chunk->size = std::min<uint32_t>(kChunkSize, size_ - start);
      FindChunkMatches(finder_, start, chunk->size, size_, NiceLength(options_), chunk->matches);
      ParseChunkOnItsOwn(*chunk);
      AddToBlock(std::move(chunk));
    }
    if (!block_.empty()) FinishBlock();
    writer_.Finish();
  }

  // The framed stream, or nothing when a chunk came out too large for its header.
  bool Frame(std::vector<uint8_t>& out) const {
    const std::vector<uint8_t>& bytes = writer_.bytes();
    const std::vector<size_t>& ends = writer_.chunk_ends();
    out.clear();
    out.reserve(bytes.size() + 2 * ends.size() + 8);
    size_t begin = 0;
    for (size_t k = 0; k < ends.size(); ++k) {
      const size_t compressed = ends[k] - begin;
      const uint32_t produced = std::min<uint32_t>(kChunkSize, size_ - static_cast<uint32_t>(k) * kChunkSize);
      if (produced == kChunkSize) {
        if (compressed >= kStandardChunkLimit) return false;
        out.push_back(static_cast<uint8_t>(compressed >> 8));
        out.push_back(static_cast<uint8_t>(compressed));
      } else {
        if (compressed >= kSizedChunkLimit) return false;
        out.push_back(0xFF);
        out.push_back(static_cast<uint8_t>(produced >> 8));
        out.push_back(static_cast<uint8_t>(produced));
        out.push_back(static_cast<uint8_t>(compressed >> 8));
        out.push_back(static_cast<uint8_t>(compressed));
      }
      out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                 bytes.begin() + static_cast<std::ptrdiff_t>(ends[k]));
      begin = ends[k];
    }
    out.insert(out.end(), kTrailerSize, 0);
    return true;
  }

 private:
  static uint32_t NiceLength(const CompressOptions& options) {
    return static_cast<uint32_t>(std::clamp(options.niceMatchLength, 3, kMaxMatch));
  }

  bool KeepE8Literal() const { return options_.translationSize != 0; }

  // Parses a chunk with prices from the chunk before, then again with its own statistics.
  void ParseChunkOnItsOwn(ChunkWork& chunk) {
    const int passes = std::max(1, options_.optimizationPasses);
    for (int pass = 0; pass < passes; ++pass) {
      parser_.Parse(input_.data(), chunk.start, chunk.size, chunk.matches, model_, trial_queue_, chunk.items);
      RepeatQueue queue = trial_queue_;
      chunk.freq = SymbolFrequencies{};
      CountItems(chunk.items, queue, chunk.freq);
      model_ = ModelFor(chunk.freq);
      if (pass + 1 == passes) trial_queue_ = queue;
    }
  }

  static CostModel ModelFor(const SymbolFrequencies& freq) {
    uint8_t main[kMainSymbols];
    uint8_t length[kLengthSymbols];
    BuildCodeLengths(freq.main, kMainSymbols, kMaxMainCodeLength, main);
    BuildCodeLengths(freq.length, kLengthSymbols, kMaxLengthCodeLength, length);
    return CostModel::FromLengths(main, length);
  }

  uint32_t BlockSize() const {
    uint32_t size = 0;
    for (const auto& chunk : block_) size += chunk->size;
    return size;
  }

  void AddToBlock(std::unique_ptr<ChunkWork> chunk) {
    if (!block_.empty()) {
      bool merge = block_.size() < max_block_chunks_;
      if (merge) {
        const uint32_t block_size = BlockSize();
        const BlockPlan alone = PlanBlock(block_freq_, trees_, block_size, true, false);
        PreviousTrees after = trees_;
        if (alone.type != kUncompressedBlock) {
          std::copy(alone.main, alone.main + kMainSymbols, after.main);
          std::copy(alone.length, alone.length + kLengthSymbols, after.length);
        }
        const uint64_t separate = alone.bits + EstimateBlockBits(chunk->freq, after, chunk->size);
        SymbolFrequencies both = block_freq_;
        both.Add(chunk->freq);
        merge = EstimateBlockBits(both, trees_, block_size + chunk->size) <= separate;
      }
      if (!merge) FinishBlock();
    }
    block_freq_.Add(chunk->freq);
    block_.push_back(std::move(chunk));
  }

  void FinishBlock() {
    const uint32_t block_size = BlockSize();
    BlockPlan plan = PlanBlock(block_freq_, trees_, block_size, true, KeepE8Literal());
    if (plan.type != kUncompressedBlock) {
      // One more parse of every chunk, now priced with the block's own codes.
      const CostModel model = CostModel::FromLengths(plan.main, plan.length);
      RepeatQueue queue = queue_;
      SymbolFrequencies freq;
      for (auto& chunk : block_) {
        const RepeatQueue chunk_queue = queue;
        parser_.Parse(input_.data(), chunk->start, chunk->size, chunk->matches, model, chunk_queue, chunk->items);
        CountItems(chunk->items, queue, freq);
      }
      plan = PlanBlock(freq, trees_, block_size, true, KeepE8Literal());
      model_ = ModelFor(freq);
    }

    WriteStreamHeaderOnce();
    if (plan.type == kUncompressedBlock) {
      WriteUncompressedBlockHeader(writer_, block_size, queue_);
      for (const auto& chunk : block_) {
        writer_.PutBytes(input_.data() + chunk->start, chunk->size);
        writer_.AdvanceOutput(chunk->size);
      }
    } else {
      WriteCompressedBlockHeader(writer_, plan, block_size, trees_);
      const ItemWriter items(plan);
      for (const auto& chunk : block_) items.Write(writer_, chunk->items, queue_);
    }
    trial_queue_ = queue_;
    block_.clear();
    block_freq_ = SymbolFrequencies{};
  }

  void WriteStreamHeaderOnce() {
    if (header_written_) return;
    header_written_ = true;
    if (options_.translationSize != 0) {
      writer_.PutBits(1, 1);
      writer_.PutBits(options_.translationSize >> 16, 16);
      writer_.PutBits(options_.translationSize & 0xFFFF, 16);
    } else {
      writer_.PutBits(0, 1);
    }
  }

  const CompressOptions options_;
  const uint32_t size_;
  const uint32_t max_block_chunks_;
  std::vector<uint8_t> input_;
  BinaryTreeMatchFinder finder_;
  NearOptimalParser parser_;
  CostModel model_;
  ChunkedBitWriter writer_;
  PreviousTrees trees_;
  RepeatQueue queue_;        // the decoder's queue at the end of what has been written
  RepeatQueue trial_queue_;  // the queue along the not yet written parses
  std::vector<std::unique_ptr<ChunkWork>> block_;
  SymbolFrequencies block_freq_;
  bool header_written_ = false;
};

}  // namespace

std::vector<uint8_t> CompressLzx(const uint8_t* data, size_t size, const CompressOptions& options) {
  if (size > kMaxInputSize) throw std::length_error("LZX input larger than 1 GiB");
  std::vector<uint8_t> out;
  // Blocks of many chunks can, in rare skewed cases, give a chunk more compressed bytes than its
  // header can hold; blocks of one chunk never do, since such a chunk falls back to raw bytes.
  for (uint32_t max_block_chunks : {16u, 1u}) {
    StreamEncoder encoder(data, size, options, max_block_chunks);
    encoder.Run();
    if (encoder.Frame(out)) return out;
  }
  throw std::logic_error("LZX chunk too large for its header");
}

}  // namespace vykcn::lzx
