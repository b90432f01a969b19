#include "text_sources/po_wrap.h"

#include <algorithm>
#include <cstdint>

#include "base/utf8.h"
#include "text_sources/po_escape.h"

namespace vykcn::tool {
namespace {

// Unicode line breaking classes (UAX #14), those that gettext's texts meet; AL stands for the rest.
enum class Lb { AL, SP, QU, OP, CL, CP, EX, IS, SY, HY, BA, NS, IN, NU, PR, PO, ID };

struct Ranges {
  uint32_t first, last;
  Lb lb;
};

Lb AsciiClass(uint32_t c) {
  if (c >= '0' && c <= '9') return Lb::NU;
  switch (c) {
    case ' ': return Lb::SP;
    case '"': case '\'': return Lb::QU;
    case '(': case '[': case '{': return Lb::OP;
    case ')': case ']': return Lb::CP;
    case '}': return Lb::CL;
    case '!': case '?': return Lb::EX;
    case ',': case '.': case ':': case ';': return Lb::IS;
    case '/': return Lb::SY;
    case '-': return Lb::HY;
    case '|': case '\t': return Lb::BA;
    case '$': case '+': case '\\': return Lb::PR;
    case '%': return Lb::PO;
    default: return Lb::AL;
  }
}

// East Asian wide and fullwidth characters: ideographs, kana, hangul, CJK symbols, fullwidth forms.
bool IsWide(uint32_t c) {
  static const uint32_t kWide[][2] = {{0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
                                      {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
                                      {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD}};
  for (const auto& range : kWide) {
    if (c >= range[0] && c <= range[1]) return true;
  }
  return false;
}

Lb ClassOf(uint32_t c) {
  if (c < 0x80) return AsciiClass(c);
  // Punctuation, much of it inside the wide blocks; the other wide characters break like ideographs.
  static const Ranges kPunctuation[] = {
      {0x2018, 0x2019, Lb::QU}, {0x201C, 0x201D, Lb::QU}, {0x2026, 0x2026, Lb::IN}, {0x2013, 0x2013, Lb::BA},
      {0x3000, 0x3000, Lb::BA}, {0x3001, 0x3002, Lb::CL}, {0x3005, 0x3005, Lb::NS}, {0x3008, 0x3008, Lb::OP},
      {0x3009, 0x3009, Lb::CL}, {0x300A, 0x300A, Lb::OP}, {0x300B, 0x300B, Lb::CL}, {0x300C, 0x300C, Lb::OP},
      {0x300D, 0x300D, Lb::CL}, {0x300E, 0x300E, Lb::OP}, {0x300F, 0x300F, Lb::CL}, {0x3010, 0x3010, Lb::OP},
      {0x3011, 0x3011, Lb::CL}, {0x3014, 0x3014, Lb::OP}, {0x3015, 0x3015, Lb::CL}, {0x30FC, 0x30FC, Lb::NS},
      {0xFF01, 0xFF01, Lb::EX}, {0xFF08, 0xFF08, Lb::OP}, {0xFF09, 0xFF09, Lb::CL}, {0xFF0C, 0xFF0C, Lb::CL},
      {0xFF0E, 0xFF0E, Lb::CL}, {0xFF1A, 0xFF1B, Lb::NS}, {0xFF1F, 0xFF1F, Lb::EX}, {0xFF3B, 0xFF3B, Lb::OP},
      {0xFF3D, 0xFF3D, Lb::CL}, {0xFF5B, 0xFF5B, Lb::OP}, {0xFF5D, 0xFF5D, Lb::CL}};
  for (const Ranges& range : kPunctuation) {
    if (c >= range.first && c <= range.last) return range.lb;
  }
  return IsWide(c) ? Lb::ID : Lb::AL;
}

// One character of the escaped text: an escape sequence, which is never broken, or one UTF-8
// character. Like gettext, the classes are those of the escaped text: an escape starts as its
// backslash and ends as its last character.
struct Unit {
  std::string text;
  size_t width = 1;
  Lb first = Lb::AL;
  Lb last = Lb::AL;
  bool newline = false;  // the \n escape
};

std::vector<Unit> Units(const std::string& escaped) {
  std::vector<Unit> units;
  for (size_t at = 0; at < escaped.size();) {
    Unit unit;
    const size_t start = at;
    uint32_t code = 0;
    if (escaped[at] == '\\' && at + 1 < escaped.size()) {
      const char next = escaped[at + 1];
      at = std::min(escaped.size(), at + (next >= '0' && next <= '7' ? 4 : 2));  // octal: three digits
      unit.first = Lb::PR;
      unit.last = AsciiClass(static_cast<unsigned char>(escaped[at - 1]));
      unit.newline = next == 'n';
    } else {
      if (!DecodeUtf8Char(escaped, &at, &code)) code = static_cast<unsigned char>(escaped[at++]);  // not reached
      unit.first = unit.last = ClassOf(code);
    }
    unit.text = escaped.substr(start, at - start);
    unit.width = unit.text.size() > 1 && escaped[start] == '\\' ? unit.text.size() : IsWide(code) ? 2 : 1;
    units.push_back(std::move(unit));
  }
  return units;
}

// The class before `i`, looking back over spaces; SP when there are only spaces.
Lb BeforeSpaces(const std::vector<Unit>& units, size_t i, size_t begin) {
  while (i > begin && units[i - 1].last == Lb::SP) --i;
  return i > begin ? units[i - 1].last : Lb::SP;
}

bool In(Lb lb, std::initializer_list<Lb> set) { return std::find(set.begin(), set.end(), lb) != set.end(); }

// Whether a line may break before units[i], by the rules of UAX #14 that these classes meet.
bool BreakAllowed(const std::vector<Unit>& units, size_t i, size_t begin) {
  const Lb b = units[i - 1].last, a = units[i].first;
  if (units[i].newline) return false;                                 // a \n stays on its line
  if (a == Lb::SP) return false;                                      // LB7
  if (In(a, {Lb::CL, Lb::CP, Lb::EX, Lb::IS, Lb::SY})) return false;  // LB13
  const Lb beforeSpaces = BeforeSpaces(units, i, begin);
  if (beforeSpaces == Lb::OP) return false;                                             // LB14
  if (beforeSpaces == Lb::QU && a == Lb::OP) return false;                              // LB15
  if (In(beforeSpaces, {Lb::CL, Lb::CP}) && a == Lb::NS) return false;                  // LB16
  if (b == Lb::SP) return true;                                                         // LB18
  if (a == Lb::QU || b == Lb::QU) return false;                                         // LB19
  if (In(a, {Lb::BA, Lb::HY, Lb::NS, Lb::IN})) return false;                            // LB21, LB22
  if ((b == Lb::AL && a == Lb::NU) || (b == Lb::NU && a == Lb::AL)) return false;       // LB23
  if ((b == Lb::PR && a == Lb::ID) || (b == Lb::ID && a == Lb::PO)) return false;       // LB23a
  if ((In(b, {Lb::PR, Lb::PO}) && a == Lb::AL) || (b == Lb::AL && In(a, {Lb::PR, Lb::PO}))) return false;  // LB24
  if (In(b, {Lb::CL, Lb::CP, Lb::NU}) && In(a, {Lb::PR, Lb::PO})) return false;         // LB25
  if (In(b, {Lb::PR, Lb::PO}) && In(a, {Lb::OP, Lb::NU})) return false;
  if (In(b, {Lb::HY, Lb::IS, Lb::NU, Lb::SY}) && a == Lb::NU) return false;
  if (b == Lb::AL && a == Lb::AL) return false;                                         // LB28
  // No LB29 (IS × AL): msgcat breaks "messages." from "po", and so must this.
  if ((In(b, {Lb::AL, Lb::NU}) && a == Lb::OP) || (b == Lb::CP && In(a, {Lb::AL, Lb::NU}))) return false;  // LB30
  return true;                                                                          // LB31
}

struct Segment {  // units between two break opportunities
  std::string text;
  size_t width = 0;
};

std::vector<Segment> Segments(const std::vector<Unit>& units, size_t begin, size_t end) {
  std::vector<Segment> segments;
  for (size_t i = begin; i < end; ++i) {
    if (i == begin || BreakAllowed(units, i, begin)) segments.emplace_back();
    segments.back().text += units[i].text;
    segments.back().width += units[i].width;
  }
  return segments;
}

// Fills lines greedily, the first starting at `firstColumn` (after its opening quote); a line and
// its closing quote stay within the page width unless one segment alone is wider.
std::vector<std::string> Fill(const std::vector<Segment>& segments, size_t firstColumn) {
  std::vector<std::string> lines(1);
  size_t column = firstColumn;
  for (const Segment& segment : segments) {
    if (!lines.back().empty() && column + segment.width + 1 > kPoPageWidth) {
      lines.emplace_back();
      column = 1;
    }
    lines.back() += segment.text;
    column += segment.width;
  }
  return lines;
}

}  // namespace

std::vector<std::string> PoStringLines(const std::string& keyword, const std::string& text) {
  const std::vector<Unit> units = Units(EscapedPoText(text));
  std::vector<std::pair<size_t, size_t>> portions;  // unit ranges, each up to and with a \n
  for (size_t i = 0, begin = 0; i < units.size(); ++i) {
    if (units[i].newline || i + 1 == units.size()) {
      portions.emplace_back(begin, i + 1);
      begin = i + 1;
    }
  }
  const size_t firstColumn = keyword.size() + 2;  // after `keyword "`
  if (portions.size() <= 1) {
    const std::vector<std::string> alone = Fill(Segments(units, 0, units.size()), firstColumn);
    if (alone.size() == 1) return {keyword + " \"" + alone[0] + "\""};
  }
  std::vector<std::string> lines = {keyword + " \"\""};
  for (const auto& [begin, end] : portions) {
    for (const std::string& line : Fill(Segments(units, begin, end), 1)) lines.push_back("\"" + line + "\"");
  }
  return lines;
}

}  // namespace vykcn::tool
