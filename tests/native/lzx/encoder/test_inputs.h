#pragma once
// Inputs for the encoder tests, built here from a seeded generator: text made of words and
// sentences, x86-like code with call instructions, bytes without structure.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vykcn::lzx::test {

inline std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> out(n);
  for (auto& b : out) b = static_cast<uint8_t>(rng());
  return out;
}

// Message-catalogue-like text, ASCII and UTF-8 Chinese, with repetition at many distances.
inline std::vector<uint8_t> TextLike(size_t n, uint32_t seed) {
  static const char* const kWords[] = {
      "the", "file", "cannot", "be", "opened", "error", "warning", "option", "%s", "%d", "\\n",
      "\xE6\x96\x87\xE4\xBB\xB6", "\xE6\x97\xA0\xE6\xB3\x95", "\xE6\x89\x93\xE5\xBC\x80", "\xE9\x94\x99\xE8\xAF\xAF",
      "\xE9\x80\x89\xE9\xA1\xB9", "\xE7\x9A\x84", "\xE4\xB8\x8D", "\xE6\x98\xAF", "\xE5\x9C\xA8",
      "directory", "permission", "denied", "invalid", "argument", "memory", "exhausted",
  };
  std::mt19937 rng(seed);
  std::vector<std::string> sentences;
  std::vector<uint8_t> out;
  out.reserve(n + 64);
  while (out.size() < n) {
    std::string s;
    if (!sentences.empty() && rng() % 4 == 0) {
      s = sentences[rng() % sentences.size()];  // a repeated message
    } else {
      const int words = 2 + static_cast<int>(rng() % 12);
      for (int w = 0; w < words; ++w) {
        if (w) s += ' ';
        s += kWords[rng() % (sizeof(kWords) / sizeof(kWords[0]))];
      }
      sentences.push_back(s);
    }
    const uint32_t hash = rng();
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(hash >> (8 * i)));
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
  }
  out.resize(n);
  return out;
}

// Code-like bytes: instruction-ish runs with many E8 xx xx xx xx calls to a few targets.
inline std::vector<uint8_t> CodeLike(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> targets(40);
  for (auto& t : targets) t = rng() % static_cast<uint32_t>(n + 1);
  static const uint8_t kOps[][3] = {{0x48, 0x89, 0xC1}, {0x48, 0x8B, 0x05}, {0x31, 0xC0, 0x90}, {0x48, 0x83, 0xEC}};
  std::vector<uint8_t> out;
  out.reserve(n + 8);
  while (out.size() < n) {
    if (rng() % 3 == 0) {
      const uint32_t target = targets[rng() % targets.size()];
      const uint32_t relative = target - static_cast<uint32_t>(out.size() + 5);
      out.push_back(0xE8);
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(relative >> (8 * i)));
    } else {
      const auto& op = kOps[rng() % 4];
      out.insert(out.end(), op, op + 3);
      out.push_back(static_cast<uint8_t>(rng() % 16));
    }
  }
  out.resize(n);
  return out;
}

}  // namespace vykcn::lzx::test
