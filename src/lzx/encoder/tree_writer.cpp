// Pretree symbols 17 and 18 code runs of zero lengths (4..19 and 20..51), 19 a run of 4 or 5
// equal lengths. A run never reaches past its segment's end: decoders differ in what they do with
// one that does.
#include "lzx/encoder/tree_writer.h"

#include <algorithm>
#include <cstring>

#include "lzx/encoder/huffman_codes.h"

namespace vykcn::lzx {

namespace {

struct PretreeItem {
  uint8_t symbol;
  uint8_t extraBits;
  uint8_t extra;
  uint8_t runSymbol;  // kPretreeSameRun: the difference symbol for the whole run
};

inline uint8_t Difference(uint8_t previous, uint8_t length) {
  return static_cast<uint8_t>((previous + 17 - length) % 17);
}

// At most one item per code length; a segment is at most the main tree's match symbols.
constexpr unsigned kMaxSegmentItems = kMaxMainSymbols - kNumChars;
static_assert(kMaxSegmentItems >= kNumChars && kMaxSegmentItems >= kNumLengthSymbols);

struct PretreeItems {
  PretreeItem item[kMaxSegmentItems];
  unsigned count = 0;
  void push_back(const PretreeItem& i) { item[count++] = i; }
  const PretreeItem* begin() const { return item; }
  const PretreeItem* end() const { return item + count; }
};

void CodeSegment(const uint8_t* lengths, const uint8_t* previous, int n, PretreeItems& items) {
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
        items.push_back({kPretreeZeroRunLong, 5, static_cast<uint8_t>(k - 20), 0});
        pos += k;
        left -= k;
      }
      if (left >= 4) {
        items.push_back({kPretreeZeroRunShort, 4, static_cast<uint8_t>(left - 4), 0});
        pos += left;
        left = 0;
      }
    } else {
      while (left >= 4) {
        const int k = std::min(left, 5);
        // Worth it only when the lengths do not already match the previous tree.
        bool allSameAsPrevious = true;
        for (int j = pos; j < pos + k; ++j) allSameAsPrevious &= previous[j] == value;
        if (allSameAsPrevious) break;
        items.push_back({kPretreeSameRun, 1, static_cast<uint8_t>(k - 4), Difference(previous[pos], value)});
        pos += k;
        left -= k;
      }
    }
    for (; left > 0; --left, ++pos) items.push_back({Difference(previous[pos], value), 0, 0, 0});
    i += run;
  }
}

struct CodedSegment {
  PretreeItems items;
  uint8_t lengths[kNumPretreeSymbols];
  uint64_t bits;
};

void CodeTreeSegment(const uint8_t* lengths, const uint8_t* previous, unsigned n, CodedSegment& segment) {
  segment.items.count = 0;
  CodeSegment(lengths, previous, static_cast<int>(n), segment.items);
  uint32_t freq[kNumPretreeSymbols] = {};
  for (const PretreeItem& item : segment.items) {
    freq[item.symbol]++;
    if (item.symbol == kPretreeSameRun) freq[item.runSymbol]++;
  }
  BuildCodeLengths(freq, kNumPretreeSymbols, kMaxPretreeCodeLength, segment.lengths);
  segment.bits = kPretreeLengthBits * kNumPretreeSymbols;
  for (const PretreeItem& item : segment.items) {
    segment.bits += segment.lengths[item.symbol] + item.extraBits;
    if (item.symbol == kPretreeSameRun) segment.bits += segment.lengths[item.runSymbol];
  }
}

void WriteTreeSegment(ChunkedBitWriter& out, const CodedSegment& segment) {
  uint32_t codes[kNumPretreeSymbols];
  BuildCodewords(segment.lengths, kNumPretreeSymbols, codes);
  for (unsigned s = 0; s < kNumPretreeSymbols; ++s) out.PutBits(segment.lengths[s], kPretreeLengthBits);
  for (const PretreeItem& item : segment.items) {
    out.PutBits(codes[item.symbol], segment.lengths[item.symbol]);
    out.PutBits(item.extra, item.extraBits);
    if (item.symbol == kPretreeSameRun) out.PutBits(codes[item.runSymbol], segment.lengths[item.runSymbol]);
  }
}

// The three segments, in the order they are sent.
template <typename Visit>
void ForEachSegment(const uint8_t* mainLengths, const uint8_t* lengthLengths, const PreviousTrees& previous,
                    Visit visit) {
  CodedSegment segment;
  CodeTreeSegment(mainLengths, previous.main, kNumChars, segment);
  visit(segment);
  CodeTreeSegment(mainLengths + kNumChars, previous.main + kNumChars, previous.mainSymbols - kNumChars, segment);
  visit(segment);
  CodeTreeSegment(lengthLengths, previous.length, kNumLengthSymbols, segment);
  visit(segment);
}

}  // namespace

uint64_t TreeBits(const uint8_t* mainLengths, const uint8_t* lengthLengths, const PreviousTrees& previous) {
  uint64_t bits = 0;
  ForEachSegment(mainLengths, lengthLengths, previous, [&](const CodedSegment& segment) { bits += segment.bits; });
  return bits;
}

void WriteTrees(ChunkedBitWriter& out, const uint8_t* mainLengths, const uint8_t* lengthLengths,
                PreviousTrees& previous) {
  ForEachSegment(mainLengths, lengthLengths, previous,
                 [&](const CodedSegment& segment) { WriteTreeSegment(out, segment); });
  std::memcpy(previous.main, mainLengths, previous.mainSymbols);
  std::memcpy(previous.length, lengthLengths, sizeof(previous.length));
}

}  // namespace vykcn::lzx
