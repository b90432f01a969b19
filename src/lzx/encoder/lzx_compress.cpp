// The encoder's driver. The input (after call translation, when asked for) is parsed in units
// of whole or quarter chunks: each unit's matches are found once, then parsed several times, each
// pass priced with the code lengths of the one before. Consecutive units share a block while one
// set of trees for both is cheaper than two; a finished block is parsed again with its own codes,
// given the cheapest of the three block types, and written. Blocks therefore start at unit
// boundaries, which are even, so an uncompressed block has an even length unless it ends the
// stream (decoders disagree on the padding after an odd one), and no match crosses a unit.
#include "lzx/encoder/lzx_compress.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "lzx/encoder/lzx_encoder_bitstream.h"
#include "lzx/encoder/lzx_encoder_blocks.h"
#include "lzx/encoder/lzx_encoder_e8.h"
#include "lzx/encoder/lzx_encoder_format.h"
#include "lzx/encoder/lzx_encoder_huffman.h"
#include "lzx/encoder/lzx_encoder_items.h"
#include "lzx/encoder/lzx_encoder_matchfinder.h"
#include "lzx/encoder/lzx_encoder_parse.h"

namespace vykcn::lzx {

namespace {

constexpr size_t kMaxInputSize = size_t{1} << 30;
constexpr size_t kInputPadding = 8;           // the match finder reads 4 bytes past any position
constexpr uint32_t kStandardChunkLimit = 0xFF00;  // a standard chunk's size must not start with 0xFF
constexpr uint32_t kSizedChunkLimit = 0x10000;
constexpr size_t kTrailerSize = 5;
// Parsing proceeds in units that blocks are made of: whole chunks for text, whose statistics
// change slowly, quarter chunks for code, where switching trees more often pays.
constexpr uint32_t kTextParseUnit = kChunkSize;
constexpr uint32_t kCodeParseUnit = kChunkSize / 4;
constexpr uint32_t kMaxBlockBytes = 16 * kChunkSize;
// Parses of a finished block with its own codes.
constexpr int kBlockPasses = 2;

struct UnitWork {
  uint32_t start = 0;
  uint32_t size = 0;
  ChunkMatches matches;
  std::vector<LzItem> items;
  SymbolFrequencies freq;
};

class StreamEncoder {
 public:
  StreamEncoder(const uint8_t* data, size_t size, const CompressOptions& options, bool single_unit_blocks)
      : options_(options),
        size_(static_cast<uint32_t>(size)),
        unit_(options.translationSize != 0 ? kCodeParseUnit : kTextParseUnit),
        max_block_units_(single_unit_blocks ? 1 : kMaxBlockBytes / unit_),
        input_(PreparedInput(data, size, options.translationSize)),
        finder_(input_.data(), size_, kMaxMatchOffset, std::max(1, options.maxSearchDepth)),
        parser_(NiceLength(options)),
        model_(CostModel::Initial()) {}

  void Run() {
    for (uint32_t start = 0; start < size_; start += unit_) {
      auto unit = std::make_unique<UnitWork>();
      unit->start = start;
      unit->size = std::min<uint32_t>(unit_, size_ - start);
      FindChunkMatches(finder_, start, unit->size, size_, NiceLength(options_), unit->matches);
      ParseUnitOnItsOwn(*unit);
      AddToBlock(std::move(unit));
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
  // The bytes the stream codes: the input after call translation, padded for the match finder.
  static std::vector<uint8_t> PreparedInput(const uint8_t* data, size_t size, uint32_t translation_size) {
    std::vector<uint8_t> input(size + kInputPadding, 0);
    std::copy(data, data + size, input.begin());
    TranslateCallsForEncoding(input.data(), size, translation_size);
    return input;
  }

  static uint32_t NiceLength(const CompressOptions& options) {
    return static_cast<uint32_t>(std::clamp(options.niceMatchLength, 3, kMaxMatch));
  }

  bool KeepE8Literal() const { return options_.translationSize != 0; }

  // Parses a unit with prices from the unit before, then again with its own statistics.
  void ParseUnitOnItsOwn(UnitWork& unit) {
    const int passes = std::max(1, options_.optimizationPasses);
    for (int pass = 0; pass < passes; ++pass) {
      parser_.Parse(input_.data(), unit.start, unit.size, unit.matches, model_, trial_queue_, unit.items);
      RepeatQueue queue = trial_queue_;
      unit.freq = SymbolFrequencies{};
      CountItems(unit.items, queue, unit.freq);
      model_ = ModelFor(unit.freq, unit.size);
      if (pass + 1 == passes) trial_queue_ = queue;
    }
  }

  // Prices for the next parse: the codes these statistics would get, with aligned offsets when
  // the block would be an aligned one.
  CostModel ModelFor(const SymbolFrequencies& freq, uint32_t size) const {
    const BlockPlan plan = PlanBlock(freq, trees_, size, false, false);
    return ModelFor(plan);
  }
  static CostModel ModelFor(const BlockPlan& plan) {
    return CostModel::FromLengths(plan.main, plan.length, plan.type == kAlignedBlock ? plan.aligned : nullptr);
  }

  uint32_t BlockSize() const {
    uint32_t size = 0;
    for (const auto& unit : block_) size += unit->size;
    return size;
  }

  void AddToBlock(std::unique_ptr<UnitWork> unit) {
    if (!block_.empty()) {
      bool merge = block_.size() < max_block_units_;
      if (merge) {
        const uint32_t block_size = BlockSize();
        const BlockPlan alone = PlanBlock(block_freq_, trees_, block_size, true, false);
        PreviousTrees after = trees_;
        if (alone.type != kUncompressedBlock) {
          std::copy(alone.main, alone.main + kMainSymbols, after.main);
          std::copy(alone.length, alone.length + kLengthSymbols, after.length);
        }
        const uint64_t separate = alone.bits + EstimateBlockBits(unit->freq, after, unit->size);
        SymbolFrequencies both = block_freq_;
        both.Add(unit->freq);
        merge = EstimateBlockBits(both, trees_, block_size + unit->size) <= separate;
      }
      if (!merge) {
        FinishBlock();
        // The unit was parsed along the not yet written parses; carry the written state on.
        RepeatQueue queue = queue_;
        SymbolFrequencies unused;
        CountItems(unit->items, queue, unused);
        trial_queue_ = queue;
      }
    }
    block_freq_.Add(unit->freq);
    block_.push_back(std::move(unit));
  }

  void FinishBlock() {
    const uint32_t block_size = BlockSize();
    BlockPlan plan = PlanBlock(block_freq_, trees_, block_size, true, KeepE8Literal());
    // More parses of every unit, now priced with the block's own codes.
    for (int pass = 0; pass < kBlockPasses && plan.type != kUncompressedBlock; ++pass) {
      const CostModel model = ModelFor(plan);
      RepeatQueue queue = queue_;
      SymbolFrequencies freq;
      for (auto& unit : block_) {
        const RepeatQueue unit_queue = queue;
        parser_.Parse(input_.data(), unit->start, unit->size, unit->matches, model, unit_queue, unit->items);
        CountItems(unit->items, queue, freq);
      }
      plan = PlanBlock(freq, trees_, block_size, true, KeepE8Literal());
    }

    WriteStreamHeaderOnce();
    if (plan.type == kUncompressedBlock) {
      WriteUncompressedBlockHeader(writer_, block_size, queue_);
      for (const auto& unit : block_) {
        writer_.PutBytes(input_.data() + unit->start, unit->size);
        writer_.AdvanceOutput(unit->size);
      }
    } else {
      WriteCompressedBlockHeader(writer_, plan, block_size, trees_);
      const ItemWriter items(plan);
      for (const auto& unit : block_) items.Write(writer_, unit->items, queue_);
    }
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
  const uint32_t unit_;
  const uint32_t max_block_units_;
  std::vector<uint8_t> input_;
  BinaryTreeMatchFinder finder_;
  NearOptimalParser parser_;
  CostModel model_;
  ChunkedBitWriter writer_;
  PreviousTrees trees_;
  RepeatQueue queue_;        // the decoder's queue at the end of what has been written
  RepeatQueue trial_queue_;  // the queue along the not yet written parses
  std::vector<std::unique_ptr<UnitWork>> block_;
  SymbolFrequencies block_freq_;
  bool header_written_ = false;
};

}  // namespace

std::vector<uint8_t> CompressLzx(const uint8_t* data, size_t size, const CompressOptions& options) {
  if (size > kMaxInputSize) throw std::length_error("LZX input larger than 1 GiB");
  // Decoders compare operands with the size as unsigned numbers: from 2^31 on, negative operands
  // that must stay untouched would fall below it.
  if (options.translationSize >= 0x80000000u) throw std::invalid_argument("call translation size of 2^31 or more");
  std::vector<uint8_t> out;
  // Blocks of many units can, in rare skewed cases, give a chunk more compressed bytes than its
  // header can hold; blocks of one unit never do, since such a unit falls back to raw bytes.
  for (bool single_unit_blocks : {false, true}) {
    StreamEncoder encoder(data, size, options, single_unit_blocks);
    encoder.Run();
    if (encoder.Frame(out)) return out;
  }
  throw std::logic_error("LZX chunk too large for its header");
}

}  // namespace vykcn::lzx
