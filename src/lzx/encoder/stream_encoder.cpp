// The input (after call translation, when asked for) is parsed in units of whole chunks, or of
// the level's smaller unit for code: each unit's matches are found once, then parsed as many times
// as the level's effort says, each pass priced with the code lengths of the one before (a unit
// with hardly a match is taken as literals instead, at the default level). Consecutive units share
// a block while one set of trees for both is cheaper than two; a finished block is parsed again
// with its own codes (at the best level), given the cheapest of the three block types, and
// written. Blocks therefore start at unit boundaries, which are even, so an uncompressed block has
// an even length unless it ends the stream (decoders disagree on the padding after an odd one),
// and no match crosses a unit.
#include "lzx/encoder/stream_encoder.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "lzx/call_translation.h"
#include "lzx/encoder/block_policy.h"
#include "lzx/encoder/block_writer.h"
#include "lzx/encoder/items.h"
#include "lzx/encoder/match_finder.h"
#include "lzx/encoder/parser.h"
#include "lzx/encoder/tree_writer.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

namespace {

constexpr size_t kInputPadding = 8;  // matches are extended 8 bytes at a time
constexpr uint32_t kMaxBlockBytes = 16 * kFrameSize;

struct UnitWork {
  uint32_t start = 0;
  uint32_t size = 0;
  ChunkMatches matches;  // kept for the block's parses; without those, one set serves every unit
  std::vector<LzItem> items;
  SymbolFrequencies freq;
};

class StreamEncoder {
 public:
  StreamEncoder(const uint8_t* data, size_t size, const CompressOptions& options, const EncoderEffort& effort,
                bool singleUnitBlocks)
      : options_(options),
        effort_(effort),
        size_(static_cast<uint32_t>(size)),
        unit_(options.callTranslationSize != 0 ? effort.codeUnit : kFrameSize),
        maxBlockUnits_(singleUnitBlocks ? 1 : kMaxBlockBytes / unit_),
        input_(PreparedInput(data, size, options.callTranslationSize)),
        finder_(input_.data(), size_, options.windowSize, std::max(1, effort.maxSearchDepth),
                std::clamp(effort.hash2Bits, 8, 16)),
        parser_(NiceLength(effort), effort.onePricePerLength),
        model_(CostModel::Initial()),
        trees_(MainSymbolsForSlots(PositionSlotsForWindow(options.windowSize))) {}

  ChunkedBitWriter Run() {
    // At most the input and a little per block and chunk; pages never written cost nothing.
    writer_.Reserve(size_t{size_} + size_ / 64 + 1024);
    for (uint32_t start = 0; start < size_; start += unit_) {
      std::unique_ptr<UnitWork> unit = NewUnit();
      unit->start = start;
      unit->size = std::min<uint32_t>(unit_, size_ - start);
      FindChunkMatches(finder_, start, unit->size, size_, NiceLength(effort_), effort_.insertInsideNice,
                       MatchesOf(*unit));
      ParseUnitOnItsOwn(*unit);
      AddToBlock(std::move(unit));
    }
    if (!block_.empty()) FinishBlock();
    writer_.Finish();
    return std::move(writer_);
  }

 private:
  // The bytes the stream codes: the input after call translation, padded for the match finder.
  static std::vector<uint8_t> PreparedInput(const uint8_t* data, size_t size, uint32_t callTranslationSize) {
    std::vector<uint8_t> input(size + kInputPadding, 0);
    std::copy(data, data + size, input.begin());
    ApplyCallTranslation(input.data(), size, callTranslationSize);
    return input;
  }

  static uint32_t NiceLength(const EncoderEffort& effort) {
    return std::clamp<uint32_t>(effort.niceMatchLength, 3, kMaxMatchLength);
  }

  // A unit's buffers are reused once its block is written.
  std::unique_ptr<UnitWork> NewUnit() {
    if (spare_.empty()) return std::make_unique<UnitWork>();
    std::unique_ptr<UnitWork> unit = std::move(spare_.back());
    spare_.pop_back();
    return unit;
  }

  ChunkMatches& MatchesOf(UnitWork& unit) { return effort_.blockPasses > 0 ? unit.matches : sharedMatches_; }

  bool KeepE8Literal() const { return options_.callTranslationSize != 0; }

  // Parses a unit with prices from the unit before, then (at the best level) again with its own
  // statistics.
  void ParseUnitOnItsOwn(UnitWork& unit) {
    const ChunkMatches& matches = MatchesOf(unit);
    if (effort_.literalsWhereMatchPoor && matches.longPositions < unit.size / 64) {
      // LZ cannot shrink it: taken as literals, which the block planner stores raw or codes alone.
      unit.items.resize(unit.size);
      for (uint32_t i = 0; i < unit.size; ++i) unit.items[i] = {1, input_[unit.start + i]};
      unit.freq = SymbolFrequencies{};
      RepeatQueue queue = trialQueue_;
      CountItems(unit.items, queue, unit.freq);
      return;
    }
    const int passes = std::max(1, effort_.unitPasses);
    for (int pass = 0; pass < passes; ++pass) {
      parser_.Parse(input_.data(), unit.start, unit.size, matches, model_, trialQueue_, unit.items);
      RepeatQueue queue = trialQueue_;
      unit.freq = SymbolFrequencies{};
      CountItems(unit.items, queue, unit.freq);
      model_ = ModelFor(unit.freq, unit.size);
      if (pass + 1 == passes) trialQueue_ = queue;
    }
  }

  // Prices for the next parse: the codes these statistics would get, with aligned offsets when
  // the block would be an aligned one.
  CostModel ModelFor(const SymbolFrequencies& freq, uint32_t size) const {
    return ModelFor(PlanBlock(freq, trees_, size, false, false));
  }
  static CostModel ModelFor(const BlockPlan& plan) {
    return CostModel::FromLengths(plan.main, plan.mainSymbols, plan.length,
                                  plan.type == kBlockAligned ? plan.aligned : nullptr);
  }

  uint32_t BlockSize() const {
    uint32_t size = 0;
    for (const auto& unit : block_) size += unit->size;
    return size;
  }

  void AddToBlock(std::unique_ptr<UnitWork> unit) {
    if (!block_.empty()) {
      const bool join = block_.size() < maxBlockUnits_ &&
                        JoiningIsCheaper(blockFreq_, BlockSize(), unit->freq, unit->size, trees_);
      if (!join) {
        FinishBlock();
        // The unit was parsed along the not yet written parses; carry the written state on.
        RepeatQueue queue = queue_;
        SymbolFrequencies unused;
        CountItems(unit->items, queue, unused);
        trialQueue_ = queue;
      }
    }
    blockFreq_.Add(unit->freq);
    block_.push_back(std::move(unit));
  }

  void FinishBlock() {
    const uint32_t blockSize = BlockSize();
    BlockPlan plan = PlanBlock(blockFreq_, trees_, blockSize, true, KeepE8Literal());
    // More parses of every unit, now priced with the block's own codes.
    for (int pass = 0; pass < effort_.blockPasses && plan.type != kBlockUncompressed; ++pass) {
      const CostModel model = ModelFor(plan);
      RepeatQueue queue = queue_;
      SymbolFrequencies freq;
      for (auto& unit : block_) {
        const RepeatQueue unitQueue = queue;
        parser_.Parse(input_.data(), unit->start, unit->size, unit->matches, model, unitQueue, unit->items);
        CountItems(unit->items, queue, freq);
      }
      plan = PlanBlock(freq, trees_, blockSize, true, KeepE8Literal());
    }
    if (effort_.blockPasses == 0 && plan.type != kBlockUncompressed) {
      // Not parsed again from the decoder's queue: the units were counted along the queue of the
      // parses before them, which a block written raw leaves behind. Code what will be written.
      RepeatQueue queue = queue_;
      SymbolFrequencies freq;
      for (const auto& unit : block_) CountItems(unit->items, queue, freq);
      plan = PlanBlock(freq, trees_, blockSize, true, KeepE8Literal());
    }

    if (!headerWritten_) {
      WriteStreamHeader(writer_, options_.callTranslationSize);
      headerWritten_ = true;
    }
    WriteBlockHeader(writer_, plan, blockSize, queue_, trees_);
    if (plan.type == kBlockUncompressed) {
      for (const auto& unit : block_) {
        writer_.PutBytes(input_.data() + unit->start, unit->size);
        writer_.AdvanceOutput(unit->size);
      }
    } else {
      const ItemWriter items(plan);
      for (const auto& unit : block_) items.Write(writer_, unit->items, queue_);
    }
    for (auto& unit : block_) spare_.push_back(std::move(unit));
    block_.clear();
    blockFreq_ = SymbolFrequencies{};
  }

  const CompressOptions options_;
  const EncoderEffort effort_;
  const uint32_t size_;
  const uint32_t unit_;
  const uint32_t maxBlockUnits_;
  std::vector<uint8_t> input_;
  BinaryTreeMatchFinder finder_;
  NearOptimalParser parser_;
  CostModel model_;
  ChunkedBitWriter writer_;
  PreviousTrees trees_;
  RepeatQueue queue_;       // the decoder's queue at the end of what has been written
  RepeatQueue trialQueue_;  // the queue along the not yet written parses
  std::vector<std::unique_ptr<UnitWork>> block_;
  std::vector<std::unique_ptr<UnitWork>> spare_;
  ChunkMatches sharedMatches_;
  SymbolFrequencies blockFreq_;
  bool headerWritten_ = false;
};

}  // namespace

ChunkedBitWriter EncodeStream(const uint8_t* data, size_t size, const CompressOptions& options,
                              const EncoderEffort& effort, bool singleUnitBlocks) {
  return StreamEncoder(data, size, options, effort, singleUnitBlocks).Run();
}

}  // namespace vykcn::lzx
