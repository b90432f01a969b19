#include "rendering/line_breaking.h"

#include <string_view>
#include <vector>

#include "base/utf8.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kSpace = 0x20;
constexpr uint32_t kEllipsis = 0x2026;
constexpr uint32_t kEmDash = 0x2014;

bool IsAsciiAlnum(uint32_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }
// Letters of Latin words (ASCII, Latin-1 and Latin Extended), which a line never splits.
bool IsWordLetter(uint32_t c) { return IsAsciiAlnum(c) || c == '_' || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7); }

struct Character {
  uint32_t code;
  size_t begin, end;  // bytes of the line
};

// A piece of a line that never breaks inside: one character, a Latin word or number (with the
// apostrophes, hyphens and decimal marks inside it), a placeholder ({0}, %s, <b>), or a pair of
// ellipses or dashes.
struct Unit {
  size_t first, last;  // characters, inclusive
  int64_t width;
  bool space;
};

std::vector<Character> Characters(std::string_view line) {
  std::vector<Character> characters;
  for (size_t at = 0; at < line.size();) {
    const size_t begin = at;
    uint32_t code = 0;
    if (!DecodeUtf8Char(line, &at, &code)) {
      at = begin + 1;
      code = 0x110000;  // a byte that is no character: a unit of its own
    }
    characters.push_back({code, begin, at});
  }
  return characters;
}

// The index after the unit that starts at characters[i].
size_t UnitEnd(const std::vector<Character>& cs, size_t i) {
  const auto at = [&](size_t k) { return k < cs.size() ? cs[k].code : 0u; };
  const uint32_t c = cs[i].code;
  if ((c == kEllipsis || c == kEmDash) && at(i + 1) == c) return i + 2;
  if (c == '{' || c == '<') {  // a brace field or a tag, as far as its close on this line
    for (size_t k = i + 1; k < cs.size() && k < i + 64; ++k) {
      if (cs[k].code == (c == '{' ? '}' : '>')) return k + 1;
      if (cs[k].code == kSpace && c == '{') break;
    }
    return i + 1;
  }
  if (c == '%' && IsWordLetter(at(i + 1))) ++i;  // a printf directive goes with its word
  else if (!IsWordLetter(c)) return i + 1;
  size_t k = i + 1;
  for (; k < cs.size(); ++k) {
    const uint32_t d = cs[k].code;
    if (IsWordLetter(d)) continue;
    // Inside a word, a name or a number: "don't", "well-known", "a.po:12", "3.5", "1,000", "10:30".
    const bool joins = (d == '\'' || d == 0x2019 || d == '-' || d == '.' || d == ':') ? IsWordLetter(at(k + 1))
                       : d == ','                                                   ? IsDigit(cs[k - 1].code) &&
                                                                                        IsDigit(at(k + 1))
                                                                                  : false;
    if (!joins) break;
  }
  return k;
}

std::vector<Unit> Units(const std::vector<Character>& cs, const HostGlyphs& glyphs) {
  std::vector<Unit> units;
  for (size_t i = 0; i < cs.size();) {
    const size_t end = UnitEnd(cs, i);
    Unit unit{i, end - 1, 0, cs[i].code == kSpace};
    for (size_t k = i; k < end; ++k) unit.width += glyphs.Advance(cs[k].code);
    units.push_back(unit);
    i = end;
  }
  return units;
}

// Whether a line may end after units[i - 1] and the next start with units[i] (not a space).
bool MayBreakBefore(const std::vector<Unit>& units, const std::vector<Character>& cs, size_t i) {
  if (i == 0 || i >= units.size() || units[i].space || units[i - 1].space) return false;
  return !MayNotStartLine(cs[units[i].first].code) && !MayNotEndLine(cs[units[i - 1].last].code);
}

// Whether a line may end before the space units[i], which the line feed then replaces.
bool MayBreakAtSpace(const std::vector<Unit>& units, const std::vector<Character>& cs, size_t i) {
  if (i == 0 || i + 1 >= units.size() || !units[i].space || units[i + 1].space || units[i - 1].space) return false;
  return !MayNotStartLine(cs[units[i + 1].first].code) && !MayNotEndLine(cs[units[i - 1].last].code);
}

std::string WrapLine(std::string_view line, const HostGlyphs& glyphs, int64_t maxWidth) {
  const std::vector<Character> cs = Characters(line);
  const std::vector<Unit> units = Units(cs, glyphs);
  std::string out;
  size_t start = 0;         // first unit of the line being filled
  int64_t width = 0;        // of units[start..i)
  size_t breakAt = 0;       // the last place on this line where a new line may start (0: none)
  bool breakIsSpace = false;
  for (size_t i = 0; i < units.size(); ++i) {
    if (i > start && MayBreakBefore(units, cs, i)) {
      breakAt = i;
      breakIsSpace = false;
    } else if (i > start && MayBreakAtSpace(units, cs, i)) {
      breakAt = i;
      breakIsSpace = true;
    }
    if (width + units[i].width > maxWidth && i > start && breakAt > start) {
      const size_t lineEnd = breakAt;  // exclusive; a space there is dropped
      out.append(line.substr(cs[units[start].first].begin, cs[units[lineEnd - 1].last].end - cs[units[start].first].begin));
      out += '\n';
      start = breakIsSpace ? breakAt + 1 : breakAt;
      width = 0;
      for (size_t k = start; k < i; ++k) width += units[k].width;
      breakAt = 0;
      if (start < i && MayBreakBefore(units, cs, i)) breakAt = i;
      if (start > i) continue;  // the space the line feed replaced
    }
    width += units[i].width;
  }
  if (start < units.size()) out.append(line.substr(cs[units[start].first].begin));
  return out;
}

}  // namespace

bool MayNotStartLine(uint32_t c) {
  static const std::u32string_view kClosing =
      U"。．，、；：？！…‥）］｝〕〉》」』】〗”’％"
      U",.;:?!)]}%";
  return kClosing.find(static_cast<char32_t>(c)) != std::u32string_view::npos;
}

bool MayNotEndLine(uint32_t c) {
  static const std::u32string_view kOpening = U"（［｛〔〈《「『【〖“‘([{";
  return kOpening.find(static_cast<char32_t>(c)) != std::u32string_view::npos;
}

std::string WrapText(const std::string& text, const HostGlyphs& glyphs, int64_t maxWidth) {
  std::string out;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    out += WrapLine(std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start),
                    glyphs, maxWidth);
    if (end == std::string::npos) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace vykcn::tool
