// Block coding. The trees go out as three segments (256 literal lengths, the match-symbol
// lengths, the 249 length-symbol lengths), each with its own pretree; every code length is sent as
// its difference from the previous block's, modulo 17. Pretree symbols 17 and 18 code runs of
// zero lengths (4..19 and 20..51), 19 a run of 4 or 5 equal lengths. A run never reaches past
// its segment's end: decoders differ in what they do with one that does.
#include "lzx/encoder/lzx_encoder_blocks.h"

#include <algorithm>
#include <cstring>

#include "lzx/encoder/lzx_encoder_huffman.h"

namespace vykcn::lzx {

namespace {

struct PretreeItem {
  uint8_t symbol;
  uint8_t extra_bits;
  uint8_t extra;
  uint8_t run_symbol;  // symbol 19: the difference symbol for the whole run
};

inline uint8_t Difference(uint8_t previous, uint8_t length) {
  return static_cast<uint8_t>((previous + 17 - length) % 17);
}

void CodeSegment(const uint8_t* lengths, const uint8_t* previous, int n, std::vector<PretreeItem>& items) {
  int i = 0;
  while (i < n) {
    const uint8_t value = lengths[i];
    int run = 1;
    while (i + run < n && lengths[i + run] == value) ++run;
    int pos = i;
    int left = run;
    if (value == 0) {
      while (left >= 20) {
        const int k = std::min(left, 51);
        items.push_back({18, 5, static_cast<uint8_t>(k - 20), 0});
        pos += k;
        left -= k;
      }
      if (left >= 4) {
        items.push_back({17, 4, static_cast<uint8_t>(left - 4), 0});
        pos += left;
        left = 0;
      }
    } else {
      while (left >= 4) {
        const int k = std::min(left, 5);
        // Worth it only when the lengths do not already match the previous tree.
        bool all_same_as_previous = true;
        for (int j = pos; j < pos + k; ++j) all_same_as_previous &= previous[j] == value;
        if (all_same_as_previous) break;
        items.push_back({19, 1, static_cast<uint8_t>(k - 4), Difference(previous[pos], value)});
        pos += k;
        left -= k;
      }
    }
    for (; left > 0; --left, ++pos) items.push_back({Difference(previous[pos], value), 0, 0, 0});
    i += run;
  }
}

struct CodedTree {
  std::vector<PretreeItem> items;
  uint8_t lengths[kPretreeSymbols];
  uint64_t bits;
};

CodedTree CodeTreeSegment(const uint8_t* lengths, const uint8_t* previous, int n) {
  CodedTree tree;
  CodeSegment(lengths, previous, n, tree.items);
  uint32_t freq[kPretreeSymbols] = {};
  for (const PretreeItem& item : tree.items) {
    freq[item.symbol]++;
    if (item.symbol == 19) freq[item.run_symbol]++;
  }
  BuildCodeLengths(freq, kPretreeSymbols, kMaxPretreeCodeLength, tree.lengths);
  tree.bits = 4 * kPretreeSymbols;
  for (const PretreeItem& item : tree.items) {
    tree.bits += tree.lengths[item.symbol] + item.extra_bits;
    if (item.symbol == 19) tree.bits += tree.lengths[item.run_symbol];
  }
  return tree;
}

void WriteTreeSegment(ChunkedBitWriter& out, const CodedTree& tree) {
  uint32_t codes[kPretreeSymbols];
  BuildCodewords(tree.lengths, kPretreeSymbols, codes);
  for (int s = 0; s < kPretreeSymbols; ++s) out.PutBits(tree.lengths[s], 4);
  for (const PretreeItem& item : tree.items) {
    out.PutBits(codes[item.symbol], tree.lengths[item.symbol]);
    out.PutBits(item.extra, item.extra_bits);
    if (item.symbol == 19) out.PutBits(codes[item.run_symbol], tree.lengths[item.run_symbol]);
  }
}

uint64_t TreeBits(const uint8_t* main, const uint8_t* length, const PreviousTrees& previous) {
  return CodeTreeSegment(main, previous.main, kLiterals).bits +
         CodeTreeSegment(main + kLiterals, previous.main + kLiterals, kMainSymbols - kLiterals).bits +
         CodeTreeSegment(length, previous.length, kLengthSymbols).bits;
}

uint64_t SymbolBits(const uint32_t* freq, const uint8_t* lengths, int n) {
  uint64_t bits = 0;
  for (int s = 0; s < n; ++s) bits += static_cast<uint64_t>(freq[s]) * lengths[s];
  return bits;
}

constexpr uint64_t kBlockHeaderBits = 3 + 24;

}  // namespace

BlockPlan PlanBlock(const SymbolFrequencies& freq, const PreviousTrees& previous, uint32_t block_size,
                    bool allow_uncompressed, bool keep_e8_literal) {
  BlockPlan plan;
  uint32_t main_freq[kMainSymbols];
  std::memcpy(main_freq, freq.main, sizeof(main_freq));
  if (keep_e8_literal && main_freq[0xE8] == 0) main_freq[0xE8] = 1;
  BuildCodeLengths(main_freq, kMainSymbols, kMaxMainCodeLength, plan.main);
  BuildCodeLengths(freq.length, kLengthSymbols, kMaxLengthCodeLength, plan.length);
  BuildCodeLengths(freq.aligned, kAlignedSymbols, kMaxAlignedCodeLength, plan.aligned);

  const uint64_t common = kBlockHeaderBits + TreeBits(plan.main, plan.length, previous) +
                          SymbolBits(freq.main, plan.main, kMainSymbols) +
                          SymbolBits(freq.length, plan.length, kLengthSymbols);
  const uint64_t verbatim = common + freq.verbatim_footer_bits;
  uint64_t aligned = ~uint64_t{0};
  bool any_aligned = false;
  for (int s = 0; s < kAlignedSymbols; ++s) any_aligned |= freq.aligned[s] != 0;
  if (any_aligned) {
    aligned = common + 3 * kAlignedSymbols + freq.aligned_high_bits +
              SymbolBits(freq.aligned, plan.aligned, kAlignedSymbols);
  }
  plan.type = aligned < verbatim ? kAlignedBlock : kVerbatimBlock;
  plan.bits = std::min(aligned, verbatim);
  if (allow_uncompressed) {
    const uint64_t uncompressed = kBlockHeaderBits + 16 + 96 + 8 * static_cast<uint64_t>(block_size);
    if (uncompressed <= plan.bits) {
      plan.type = kUncompressedBlock;
      plan.bits = uncompressed;
    }
  }
  return plan;
}

uint64_t EstimateBlockBits(const SymbolFrequencies& freq, const PreviousTrees& previous, uint32_t block_size) {
  return PlanBlock(freq, previous, block_size, true, false).bits;
}

void WriteCompressedBlockHeader(ChunkedBitWriter& out, const BlockPlan& plan, uint32_t block_size,
                                PreviousTrees& previous) {
  out.PutBits(plan.type, 3);
  out.PutBits(block_size >> 16, 8);
  out.PutBits((block_size >> 8) & 0xFF, 8);
  out.PutBits(block_size & 0xFF, 8);
  if (plan.type == kAlignedBlock) {
    for (int s = 0; s < kAlignedSymbols; ++s) out.PutBits(plan.aligned[s], 3);
  }
  WriteTreeSegment(out, CodeTreeSegment(plan.main, previous.main, kLiterals));
  WriteTreeSegment(out, CodeTreeSegment(plan.main + kLiterals, previous.main + kLiterals, kMainSymbols - kLiterals));
  WriteTreeSegment(out, CodeTreeSegment(plan.length, previous.length, kLengthSymbols));
  std::memcpy(previous.main, plan.main, sizeof(previous.main));
  std::memcpy(previous.length, plan.length, sizeof(previous.length));
}

ItemWriter::ItemWriter(const BlockPlan& plan) : plan_(plan) {
  BuildCodewords(plan.main, kMainSymbols, main_codes_);
  BuildCodewords(plan.length, kLengthSymbols, length_codes_);
  BuildCodewords(plan.aligned, kAlignedSymbols, aligned_codes_);
}

void ItemWriter::Write(ChunkedBitWriter& out, const std::vector<LzItem>& items, RepeatQueue& queue) const {
  const bool aligned = plan_.type == kAlignedBlock;
  for (const LzItem& item : items) {
    const CodedItem coded = CodeItem(item, queue);
    out.PutBits(main_codes_[coded.main_symbol], plan_.main[coded.main_symbol]);
    if (coded.length_symbol >= 0) {
      out.PutBits(length_codes_[coded.length_symbol], plan_.length[coded.length_symbol]);
    }
    if (aligned && coded.footer_bits >= 3) {
      out.PutBits(coded.footer >> 3, coded.footer_bits - 3);
      const uint32_t low = coded.footer & 7;
      out.PutBits(aligned_codes_[low], plan_.aligned[low]);
    } else {
      out.PutBits(coded.footer, coded.footer_bits);
    }
    out.AdvanceOutput(item.length);
  }
}

void WriteUncompressedBlockHeader(ChunkedBitWriter& out, uint32_t block_size, const RepeatQueue& queue) {
  out.PutBits(kUncompressedBlock, 3);
  out.PutBits(block_size >> 16, 8);
  out.PutBits((block_size >> 8) & 0xFF, 8);
  out.PutBits(block_size & 0xFF, 8);
  out.PadBeforeRawData();
  for (uint32_t r : queue.r) out.PutU32LE(r);
}

}  // namespace vykcn::lzx
