#include "checks/untranslated_text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "text_syntax/placeholder_syntax.h"

namespace vykcn::tool {
namespace {

bool IsCjk(uint32_t c) {
  static const uint32_t kRanges[][2] = {
      {0x1100, 0x11FF},    // Hangul Jamo
      {0x2E80, 0x2FFF},    // radicals, ideographic description
      {0x3001, 0x33FF},    // CJK punctuation (not the ideographic space), kana, bopomofo, enclosed, compatibility
      {0x3400, 0x4DBF},    // ideographs, extension A
      {0x4E00, 0x9FFF},    // unified ideographs
      {0xA960, 0xA97F},    // Hangul Jamo extended
      {0xAC00, 0xD7FF},    // Hangul syllables
      {0xF900, 0xFAFF},    // compatibility ideographs
      {0xFE10, 0xFE1F},    // vertical forms
      {0xFE30, 0xFE6F},    // compatibility and small forms
      {0xFF01, 0xFFEE},    // full-width and half-width forms
      {0x1B000, 0x1B16F},  // kana supplement
      {0x20000, 0x3FFFF},  // ideographs, extensions B and on
  };
  return std::any_of(std::begin(kRanges), std::end(kRanges), [c](const uint32_t* r) { return c >= r[0] && c <= r[1]; });
}

bool IsLatinLetter(uint32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) ||
         (c >= 0x1E00 && c <= 0x1EFF);
}

bool IsAsciiAlnum(char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

// The text with its placeholders, tags and strftime directives cut out, each leaving a space.
std::string WordsPart(const std::string& text) {
  std::string out = WithoutPlaceholders(text);
  // strftime's directives ("%A, %H:%M %p") read the same in every language.
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] != '%') continue;
    size_t next = i + 1;
    while (next < out.size() && std::string_view("-_0^#EO").find(out[next]) != std::string_view::npos) ++next;
    if (next < out.size() && std::isalpha(static_cast<unsigned char>(out[next]))) {
      out.replace(i, next + 1 - i, " ");
    }
  }
  return out;
}

// A value the game reads rather than shows: a list whose commas have no blank beside them
// ("DejaVu Sans,Droid Sans Fallback"), or one token joined by '_' ("zh_CN").
bool IsMachineReadValue(const std::string& text) {
  if (text.find(' ') == std::string::npos && text.find('_') != std::string::npos) return true;
  bool listed = false;
  for (size_t at = text.find(','); at != std::string::npos; at = text.find(',', at + 1)) {
    if (at == 0 || at + 1 == text.size() || text[at - 1] == ' ' || text[at + 1] == ' ') return false;
    listed = true;
  }
  return listed;
}

// The words the text is made of, split at whatever is not an ASCII letter or digit.
std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  for (size_t at = 0; at < text.size();) {
    size_t end = at;
    while (end < text.size() && IsAsciiAlnum(text[end])) ++end;
    if (end > at) words.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

// One word that the host text holds as a word (a product, place or unit name), or one word in
// capitals of up to five letters (an abbreviation).
bool KeepsANameAlone(const std::string& host, std::string_view rest) {
  const std::vector<std::string> words = Words(rest);
  if (words.size() != 1) return false;
  const std::string& word = words[0];
  const std::vector<std::string> hostWords = Words(host);
  if (std::find(hostWords.begin(), hostWords.end(), word) != hostWords.end()) return true;
  return word.size() <= 5 && std::none_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

bool HasWordsToTranslate(const std::string& text) {
  const std::string rest = WordsPart(text);
  return std::any_of(rest.begin(), rest.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
}

bool LooksUntranslated(const std::string& host, const std::string& translation) {
  if (IsMachineReadValue(translation)) return false;
  // A text with no character that starts a placeholder or a strftime directive is its own words.
  const bool plain = !MayHoldPlaceholders(translation) && translation.find('%') == std::string::npos;
  const std::string cut = plain ? std::string() : WordsPart(translation);
  const std::string_view rest = plain ? std::string_view(translation) : std::string_view(cut);
  static thread_local std::vector<uint32_t> codes;  // kept from text to text, not allocated for each
  if (!DecodeUtf8(rest, &codes)) return false;  // an error of its own
  if (std::any_of(codes.begin(), codes.end(), IsCjk) || std::none_of(codes.begin(), codes.end(), IsLatinLetter)) {
    return false;
  }
  // Letters beyond ASCII (mojibake, another language) are never a name kept alone.
  const bool ascii = std::all_of(codes.begin(), codes.end(), [](uint32_t c) { return c < 0x80; });
  return !(ascii && KeepsANameAlone(host, rest));
}

}  // namespace vykcn::tool
