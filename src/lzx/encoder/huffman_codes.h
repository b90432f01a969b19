#pragma once
// Length-limited Huffman codes for the encoder: code lengths from symbol frequencies, and the
// canonical codewords the decoder assigns to them (shorter codes first, then by symbol).
#include <cstdint>

namespace vykcn::lzx {

constexpr int kMaxAlphabet = 1024;        // n of BuildCodeLengths
constexpr int kMaxCodeLengthLimit = 32;   // its maxLength

// Fills lengths[0..n) (n ≤ kMaxAlphabet) with a complete prefix code of at most maxLength
// (≤ kMaxCodeLengthLimit) bits for the symbols whose frequency is non-zero; unused symbols get 0.
// With a single used symbol a second symbol gets a code too, so that the code stays complete. All
// frequencies 0 give all lengths 0.
void BuildCodeLengths(const uint32_t* frequencies, int n, int maxLength, uint8_t* lengths);

// Canonical codewords for the lengths, most significant bit first.
void BuildCodewords(const uint8_t* lengths, int n, uint32_t* codewords);

}  // namespace vykcn::lzx
