#include "stream_walker.h"

#include <stdexcept>

#include "formats/translation_resource.h"
#include "mspack_cab.h"

namespace vykcn::lzx::test {

namespace {

struct Broken : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ChunkBits {
 public:
  void Start(const std::vector<uint8_t>* data, size_t at) {
    data_ = data;
    byte_ = at;
    bit_ = 0;
  }
  uint32_t Bit() {
    if (byte_ >= data_->size()) throw Broken("bits run past the chunk");
    const uint16_t word = static_cast<uint16_t>((*data_)[byte_] | (byte_ + 1 < data_->size() ? (*data_)[byte_ + 1] << 8 : 0));
    const uint32_t bit = (word >> (15 - bit_)) & 1;
    if (++bit_ == 16) {
      bit_ = 0;
      byte_ += 2;
    }
    return bit;
  }
  uint32_t Bits(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 1 | Bit();
    return v;
  }
  // 1 to 16 bits of padding before raw data.
  void PadToWord() {
    do {
      Bit();
    } while (bit_ != 0);
  }
  uint8_t RawByte() {
    if (byte_ >= data_->size()) throw Broken("raw bytes run past the chunk");
    return (*data_)[byte_++];
  }
  bool AtWordEnd() const { return bit_ == 0; }
  size_t byte() const { return byte_; }

 private:
  const std::vector<uint8_t>* data_ = nullptr;
  size_t byte_ = 0;
  int bit_ = 0;
};

struct Code {
  std::vector<uint8_t> lengths;
  std::vector<std::vector<uint32_t>> byLength;  // symbols of each length, in symbol order

  void Prepare() {
    byLength.assign(17, {});
    for (size_t s = 0; s < lengths.size(); ++s) {
      if (lengths[s] > 16) throw Broken("code length above 16");
      if (lengths[s] != 0) byLength[lengths[s]].push_back(static_cast<uint32_t>(s));
    }
  }
  // Canonical codes: shorter lengths first, each length's codes in symbol order.
  uint32_t Decode(ChunkBits& in) const {
    uint32_t code = 0, first = 0;
    for (int l = 1; l <= 16; ++l) {
      code = code << 1 | in.Bit();
      const uint32_t count = static_cast<uint32_t>(byLength[l].size());
      if (code - first < count) return byLength[l][code - first];
      first = (first + count) << 1;
    }
    throw Broken("no code matches");
  }
};

// Footer bits of a position slot, for windows up to 256 KiB.
uint32_t FooterBitsOf(uint32_t slot) { return slot < 4 ? 0 : slot / 2 - 1; }

// Position slots of the module's window: together they cover every formatted offset below it.
uint32_t Slots() {
  uint32_t slots = 0;
  for (uint64_t covered = 0; covered < kTranslationWindowSize; ++slots) covered += uint64_t{1} << FooterBitsOf(slots);
  return slots;
}

void ReadLengths(ChunkBits& in, std::vector<uint8_t>& lengths, size_t from, size_t count) {
  Code pretree;
  pretree.lengths.resize(20);
  for (auto& l : pretree.lengths) l = static_cast<uint8_t>(in.Bits(4));
  pretree.Prepare();
  size_t pos = 0;
  while (pos < count) {
    const uint32_t s = pretree.Decode(in);
    size_t run = 1;
    uint8_t value;
    if (s == 17 || s == 18) {
      run = s == 17 ? in.Bits(4) + 4 : in.Bits(5) + 20;
      value = 0;
    } else if (s == 19) {
      run = in.Bits(1) + 4;
      const uint32_t d = pretree.Decode(in);
      if (d > 16) throw Broken("run symbol after 19");
      value = static_cast<uint8_t>((lengths[from + pos] + 17 - d) % 17);
    } else {
      value = static_cast<uint8_t>((lengths[from + pos] + 17 - s) % 17);
    }
    if (pos + run > count) throw Broken("a pretree run crosses the end of its segment");
    for (size_t k = 0; k < run; ++k) lengths[from + pos + k] = value;
    pos += run;
  }
}

}  // namespace

WalkResult WalkStream(const std::vector<uint8_t>& stream) {
  WalkResult result;
  const auto chunks = SplitFramedStream(stream);
  if (!chunks) {
    result.error = "framing";
    return result;
  }
  try {
    uint32_t total = 0;
    for (const auto& c : *chunks) total += c.produced;
    std::vector<uint8_t>& out = result.output;
    Code main, length, aligned;
    main.lengths.assign(256 + 8 * Slots(), 0);
    length.lengths.assign(249, 0);
    uint32_t r[3] = {1, 1, 1};
    size_t chunk = 0;
    ChunkBits in;
    if (!chunks->empty()) in.Start(&(*chunks)[0].data, 0);
    bool headerRead = false;
    uint32_t chunkEnd = chunks->empty() ? 0 : (*chunks)[0].produced;

    // Moves to the next chunk once the output has reached the current one's end.
    auto nextChunkIfDue = [&](bool raw) {
      while (chunk < chunks->size() && out.size() == chunkEnd) {
        if (!raw && in.byte() != (*chunks)[chunk].data.size()) throw Broken("a chunk's bits do not end where its data does");
        if (raw && in.byte() != (*chunks)[chunk].data.size()) throw Broken("raw bytes do not end with the chunk");
        ++chunk;
        if (chunk == chunks->size()) return;
        in.Start(&(*chunks)[chunk].data, 0);
        chunkEnd += (*chunks)[chunk].produced;
      }
    };

    while (out.size() < total) {
      if (!headerRead) {
        headerRead = true;
        if (in.Bit()) {
          const uint32_t high = in.Bits(16);
          result.callTranslationSize = high << 16 | in.Bits(16);
        }
      }
      const uint32_t type = in.Bits(3);
      const uint32_t size = in.Bits(8) << 16 | in.Bits(8) << 8 | in.Bits(8);
      if (type < 1 || type > 3) throw Broken("block type " + std::to_string(type));
      result.blocks[type]++;
      const size_t blockEnd = out.size() + size;
      if (blockEnd > total) throw Broken("block past the stream end");
      if (type == 3) {
        if (size % 2 == 1 && blockEnd != total) throw Broken("odd uncompressed block before the last");
        in.PadToWord();
        for (auto& rep : r) {
          rep = 0;
          for (int k = 0; k < 4; ++k) rep |= static_cast<uint32_t>(in.RawByte()) << (8 * k);
        }
        while (out.size() < blockEnd) {
          out.push_back(in.RawByte());
          nextChunkIfDue(true);
        }
        // Next block: a fresh bit stream at the next byte of the same chunk.
        if (chunk < chunks->size()) in.Start(&(*chunks)[chunk].data, in.byte());
        continue;
      }
      if (type == 2) {
        aligned.lengths.resize(8);
        for (auto& l : aligned.lengths) l = static_cast<uint8_t>(in.Bits(3));
        aligned.Prepare();
      }
      ReadLengths(in, main.lengths, 0, 256);
      ReadLengths(in, main.lengths, 256, 8 * Slots());
      ReadLengths(in, length.lengths, 0, 249);
      main.Prepare();
      length.Prepare();
      while (out.size() < blockEnd) {
        const uint32_t sym = main.Decode(in);
        if (sym < 256) {
          out.push_back(static_cast<uint8_t>(sym));
        } else {
          uint32_t header = (sym - 256) & 7;
          const uint32_t slot = (sym - 256) >> 3;
          if (header == 7) header += length.Decode(in);
          const uint32_t matchLength = header + 2;
          uint32_t offset;
          if (slot < 3) {
            offset = r[slot];
            r[slot] = r[0];
            r[0] = offset;
          } else {
            const int bits = static_cast<int>(FooterBitsOf(slot));
            uint32_t base = 0;
            for (uint32_t s = 0; s < slot; ++s) base += 1u << FooterBitsOf(s);
            uint32_t footer;
            if (type == 2 && bits >= 3) {
              footer = in.Bits(bits - 3) << 3;
              footer |= aligned.Decode(in);
            } else {
              footer = in.Bits(bits);
            }
            offset = base + footer - 2;
            r[2] = r[1];
            r[1] = r[0];
            r[0] = offset;
          }
          if (offset == 0 || offset > out.size()) throw Broken("offset before the stream start");
          if (out.size() + matchLength > blockEnd) throw Broken("a match crosses its block's end");
          if (out.size() + matchLength > chunkEnd) throw Broken("a match crosses a chunk boundary");
          for (uint32_t k = 0; k < matchLength; ++k) out.push_back(out[out.size() - offset]);
        }
        if (out.size() == chunkEnd && !in.AtWordEnd()) {
          // The encoder pads the last word of a chunk with zeros.
          while (!in.AtWordEnd()) {
            if (in.Bit()) throw Broken("non-zero padding at a chunk end");
          }
        }
        nextChunkIfDue(false);
      }
    }
    result.ok = true;
  } catch (const Broken& e) {
    result.error = e.what();
  }
  return result;
}

}  // namespace vykcn::lzx::test
