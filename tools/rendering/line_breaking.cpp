#include "rendering/line_breaking.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "text_syntax/placeholder_syntax.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kSpace = 0x20;
constexpr uint32_t kEllipsis = 0x2026;
constexpr uint32_t kEmDash = 0x2014;
constexpr uint32_t kRightQuote = 0x2019;  // also an apostrophe: "don’t"

bool IsAsciiAlnum(uint32_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// Letters of Latin words (ASCII, Latin-1 and Latin Extended), which a line never splits.
bool IsWordLetter(uint32_t c) { return IsAsciiAlnum(c) || c == '_' || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7); }
// What a run that never breaks is made of: ASCII but the space ("alt+s", "--option", a URL, a
// number, "don't"), and Latin letters ("Café").
bool IsRunCharacter(uint32_t c) { return (c > kSpace && c < 0x7F) || IsWordLetter(c); }

struct Character {
  uint32_t code;
  size_t begin, end;  // bytes of the line
};

// A piece of a line that never breaks inside: a space; a run of placeholders and of characters
// that IsRunCharacter takes ($name|, <span color='$c'>, <ref>dst='unit_Mage' text='法师'</ref>,
// "3.14", "don’t"); a pair of ellipses or dashes; or one other character.
struct Unit {
  size_t first, last;  // characters, inclusive
  int64_t width;
  bool space;
  // By the marks at its edges ("%" may not start a line, "%d" may) and its tags: an opening tag
  // stays with the text after it, a closing tag with the text before it, as brackets do.
  bool mayStartLine, mayEndLine;
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

// A placeholder of the line, in characters.
struct PlaceholderSpan {
  size_t end = 0;  // the character after it; 0: no placeholder starts at this character
  bool opensTag = false, closesTag = false;
};

// For each character, the placeholder that starts there. The variables inside a tag go with it.
std::vector<PlaceholderSpan> PlaceholderSpans(std::string_view line, const std::vector<Character>& cs) {
  std::vector<PlaceholderSpan> spans(cs.size());
  size_t first = 0, covered = 0;
  for (const Placeholder& p : FindPlaceholders(line)) {
    if (p.begin < covered) continue;
    covered = p.begin + p.text.size();
    while (first < cs.size() && cs[first].begin < p.begin) ++first;
    size_t after = first;
    while (after < cs.size() && cs[after].begin < covered) ++after;
    if (first >= cs.size() || cs[first].begin != p.begin) continue;
    const bool tag = p.syntax == PlaceholderSyntax::kTag;
    const bool closing = tag && p.text[1] == '/';
    const bool selfClosing = tag && p.key.compare(p.key.size() - 2, 2, "/>") == 0;
    spans[first] = {after, tag && !closing && !selfClosing, closing};
  }
  return spans;
}

std::vector<Unit> Units(std::string_view line, const std::vector<Character>& cs, const HostGlyphs& glyphs) {
  const std::vector<PlaceholderSpan> spans = PlaceholderSpans(line, cs);
  const auto at = [&](size_t k) { return k < cs.size() ? cs[k].code : 0u; };
  std::vector<Unit> units;
  for (size_t i = 0; i < cs.size();) {
    const uint32_t c = cs[i].code;
    size_t k = i;
    bool opensTag = false;  // the run ends with an opening tag
    const bool pair = (c == kEllipsis || c == kEmDash) && at(i + 1) == c;
    while (!pair && k < cs.size()) {
      if (spans[k].end != 0) {
        opensTag = spans[k].opensTag;
        k = spans[k].end;
      } else if (IsRunCharacter(cs[k].code) ||
                 (cs[k].code == kRightQuote && k > i && IsWordLetter(cs[k - 1].code) && IsWordLetter(at(k + 1)))) {
        opensTag = false;
        ++k;
      } else {
        break;
      }
    }
    k = pair ? i + 2 : std::max(k, i + 1);
    Unit unit{i, k - 1, 0, c == kSpace,
              spans[i].end != 0 ? !spans[i].closesTag : !MayNotStartLine(c),
              !opensTag && !MayNotEndLine(cs[k - 1].code)};
    for (size_t j = i; j < k; ++j) unit.width += glyphs.Advance(cs[j].code);
    units.push_back(unit);
    i = k;
  }
  return units;
}

// Whether a line may end after units[i - 1] and the next start with units[i] (not a space).
bool MayBreakBefore(const std::vector<Unit>& units, size_t i) {
  if (i == 0 || i >= units.size() || units[i].space || units[i - 1].space) return false;
  return units[i].mayStartLine && units[i - 1].mayEndLine;
}

// Whether a line may end before the space units[i], which the line feed then replaces.
bool MayBreakAtSpace(const std::vector<Unit>& units, size_t i) {
  if (i == 0 || i + 1 >= units.size() || !units[i].space || units[i + 1].space || units[i - 1].space) return false;
  return units[i + 1].mayStartLine && units[i - 1].mayEndLine;
}

std::string WrapLine(std::string_view line, const HostGlyphs& glyphs, int64_t maxWidth) {
  const std::vector<Character> cs = Characters(line);
  const std::vector<Unit> units = Units(line, cs, glyphs);
  std::string out;
  size_t start = 0;         // first unit of the line being filled
  int64_t width = 0;        // of units[start..i)
  size_t breakAt = 0;       // the last place on this line where a new line may start (0: none)
  bool breakIsSpace = false;
  for (size_t i = 0; i < units.size(); ++i) {
    if (i > start && MayBreakBefore(units, i)) {
      breakAt = i;
      breakIsSpace = false;
    } else if (i > start && MayBreakAtSpace(units, i)) {
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
      if (start < i && MayBreakBefore(units, i)) breakAt = i;
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
