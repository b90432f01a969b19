#include "text_syntax/placeholder_syntax.h"

#include <algorithm>
#include <cstring>

namespace vykcn::tool {
namespace {

constexpr size_t kNone = std::string_view::npos;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
bool IsNameChar(char c) { return IsWordChar(c) || c == '-' || c == ':'; }  // of tag and attribute names

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return out;
}

struct Match {
  size_t length = 0;  // 0: no placeholder of this syntax here
  std::string key;
};

// Each reads the placeholder of its syntax that starts at text[at] (the syntax's first character)
// and ends within `text`. `ordinal` counts the printf directives without a position.
using Matcher = Match (*)(std::string_view text, size_t at, int* ordinal);

// %name%: an identifier of two or more characters between percent signs.
Match PercentName(std::string_view text, size_t at, int*) {
  size_t i = at + 1;
  if (i >= text.size() || !(IsLetter(text[i]) || text[i] == '_')) return {};
  while (i < text.size() && IsWordChar(text[i])) ++i;
  if (i - at - 1 < 2 || i >= text.size() || text[i] != '%') return {};
  return {i + 1 - at, std::string(text.substr(at, i + 1 - at))};
}

Match PrintfDirective(std::string_view text, size_t at, int* ordinal) {
  size_t i = at + 1;
  size_t digits = i;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  std::string position;
  if (digits > i && digits < text.size() && text[digits] == '$') {
    position = text.substr(i, digits - i);
    i = digits + 1;
  }
  // A space flag is left out: "100% sure" is prose, not "% s".
  while (i < text.size() && text[i] != '\0' && std::strchr("-+#0'", text[i]) != nullptr) ++i;
  std::string shape;
  if (i < text.size() && text[i] == '*') {
    shape += '*';
    ++i;
  } else {
    while (i < text.size() && IsDigit(text[i])) ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (i < text.size() && text[i] == '*') {
      shape += ".*";
      ++i;
    } else {
      while (i < text.size() && IsDigit(text[i])) ++i;
    }
  }
  for (const char* length : {"hh", "ll", "h", "l", "L", "q", "j", "z", "Z", "t"}) {
    if (text.compare(i, std::strlen(length), length) == 0) {
      shape += length;
      i += std::strlen(length);
      break;
    }
  }
  if (i >= text.size() || text[i] == '\0' || std::strchr("diouxXeEfFgGaAcspn", text[i]) == nullptr) return {};
  const size_t length = i + 1 - at;
  // "%count%" begins with the directive "%c": a directive that ends inside an identifier which a
  // percent sign then closes is that percent-delimited name, which the table's kPercent row reads.
  // "%ld%%" stays a directive and a percent sign: its identifier ends where the directive does.
  if (PercentName(text, at, nullptr).length > length + 1) return {};
  shape += text[i] == 'i' ? 'd' : text[i];
  return {length, (position.empty() ? std::to_string(++*ordinal) : position) + "$" + shape};
}

// {0}, {name}, {0:N2}, {1,-8}.
Match BraceField(std::string_view text, size_t at, int*) {
  size_t i = at + 1;
  while (i < text.size() && IsWordChar(text[i])) ++i;
  if (i == at + 1) return {};
  const std::string name(text.substr(at + 1, i - at - 1));
  if (i < text.size() && (text[i] == ':' || text[i] == ',')) {
    while (i < text.size() && text[i] != '}' && text[i] != '{') ++i;
  }
  if (i >= text.size() || text[i] != '}') return {};
  return {i + 1 - at, "{" + name + "}"};
}

// $ and a letter or '_', then letters, digits, '_', '.' and brackets, then an optional '|' that
// ends the name: "$player_$side_number|" is "$player_" and "$side_number|". As the game reads a
// name, a ']' belongs to it only to close a '[' of its own ("[$tag]" holds "$tag"), and it never
// ends with '.' ("welcome to $place." ends a sentence).
Match DollarName(std::string_view text, size_t at, int*) {
  size_t i = at + 1;
  if (i >= text.size() || !(IsLetter(text[i]) || text[i] == '_')) return {};
  int open = 0;
  for (; i < text.size(); ++i) {
    if (text[i] == '[') {
      ++open;
    } else if (text[i] == ']' && open > 0) {
      --open;
    } else if (!IsWordChar(text[i]) && text[i] != '.') {
      break;
    }
  }
  while (text[i - 1] == '.') --i;
  std::string key(text.substr(at, i - at));
  if (i < text.size() && text[i] == '|') ++i;
  return {i - at, key};
}

// An attribute's value at text[i]: quoted, or up to white space or a tag's edge. The index after
// it, or kNone.
size_t AttributeValue(std::string_view text, size_t i) {
  if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
    const size_t close = text.find(text[i], i + 1);
    return close == kNone ? kNone : close + 1;
  }
  const size_t start = i;
  while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '>' && text[i] != '<') ++i;
  return i > start ? i : kNone;
}

// name=value at text[i]: the index after it (and the name added to `names`), or kNone.
size_t Attribute(std::string_view text, size_t i, std::vector<std::string>* names) {
  const size_t start = i;
  if (i >= text.size() || !IsLetter(text[i])) return kNone;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  if (i >= text.size() || text[i] != '=') return kNone;
  const size_t end = AttributeValue(text, i + 1);
  if (end != kNone) names->push_back(Lower(text.substr(start, i - start)));
  return end;
}

// <b>, </b>, <br/>, <color=#ff0000>, <font size="2" face=x>; and a help page's element, whose
// attributes follow the tag: <ref>dst='unit_Mage' text='Mage'</ref>. Every attribute has
// a value, so that prose in angle brackets ("<standard input>") is no tag.
Match MarkupTag(std::string_view text, size_t at, int*) {
  size_t i = at + 1;
  const bool closing = i < text.size() && text[i] == '/';
  if (closing) ++i;
  const size_t nameStart = i;
  if (i >= text.size() || !IsLetter(text[i])) return {};
  while (i < text.size() && IsNameChar(text[i])) ++i;
  const std::string name = Lower(text.substr(nameStart, i - nameStart));
  if (i < text.size() && text[i] == '=' && (i = AttributeValue(text, i + 1)) == kNone) return {};
  std::vector<std::string> attributes;
  for (;;) {
    size_t j = i;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    if (j == i || j >= text.size() || !IsLetter(text[j])) {
      i = j;
      break;
    }
    if ((i = Attribute(text, j, &attributes)) == kNone) return {};
  }
  const bool selfClosing = i < text.size() && text[i] == '/';
  if (selfClosing) ++i;
  if (i >= text.size() || text[i] != '>') return {};
  ++i;
  for (size_t j = i; !closing && !selfClosing && (j = Attribute(text, j, &attributes)) != kNone;) {
    i = j;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
  }
  std::sort(attributes.begin(), attributes.end());
  std::string key = std::string("<") + (closing ? "/" : "") + name;
  for (const std::string& attribute : attributes) key += " " + attribute;
  return {i - at, key + (selfClosing ? "/>" : ">")};
}

// &amp;, &#160;, &#xA0;.
Match Entity(std::string_view text, size_t at, int*) {
  size_t i = at + 1;
  const bool numeric = i < text.size() && text[i] == '#';
  const bool hex = numeric && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X');
  i += numeric ? (hex ? 2 : 1) : 0;
  const size_t start = i;
  if (!numeric && (i >= text.size() || !IsLetter(text[i]))) return {};
  const auto inName = [&](char c) { return hex ? IsHexDigit(c) : numeric ? IsDigit(c) : IsLetter(c) || IsDigit(c); };
  while (i < text.size() && inName(text[i])) ++i;
  if (i == start || i >= text.size() || text[i] != ';') return {};
  return {i + 1 - at, std::string(text.substr(at, i + 1 - at))};
}

struct SyntaxRow {
  PlaceholderSyntax syntax;
  char first;  // the character every placeholder of the syntax starts with
  Matcher match;
};

// The table, in the order its rows are tried at each place.
constexpr SyntaxRow kSyntaxes[] = {
    {PlaceholderSyntax::kPrintf, '%', PrintfDirective}, {PlaceholderSyntax::kBrace, '{', BraceField},
    {PlaceholderSyntax::kDollar, '$', DollarName},      {PlaceholderSyntax::kPercent, '%', PercentName},
    {PlaceholderSyntax::kTag, '<', MarkupTag},          {PlaceholderSyntax::kEntity, '&', Entity},
};

// Escapes that stand for their character, read before the table: "%%" and "{{" start nothing.
bool IsEscape(std::string_view text, size_t i) {
  return (text[i] == '%' || text[i] == '{') && i + 1 < text.size() && text[i + 1] == text[i];
}

// Whether some row of the table starts with `c`: every other byte is passed over at once.
struct FirstCharacters {
  bool starts[256] = {};
  constexpr FirstCharacters() {
    for (const SyntaxRow& row : kSyntaxes) starts[static_cast<unsigned char>(row.first)] = true;
  }
};
constexpr FirstCharacters kFirst;

// The placeholders of text[from, to); inside a tag's attributes, only variables other than printf's.
void Scan(std::string_view text, size_t from, size_t to, bool inTag, int* ordinal, std::vector<Placeholder>* found) {
  const std::string_view bounded = text.substr(0, to);
  for (size_t i = from; i < to;) {
    if (!kFirst.starts[static_cast<unsigned char>(text[i])]) {
      ++i;
      continue;
    }
    if (IsEscape(bounded, i)) {
      i += 2;
      continue;
    }
    const SyntaxRow* row = nullptr;
    Match match;
    for (const SyntaxRow& candidate : kSyntaxes) {
      if (candidate.first != text[i]) continue;
      if (inTag && (!IsVariable(candidate.syntax) || candidate.syntax == PlaceholderSyntax::kPrintf)) continue;
      match = candidate.match(bounded, i, ordinal);
      if (match.length > 0) {
        row = &candidate;
        break;
      }
    }
    if (row == nullptr) {
      ++i;
      continue;
    }
    const size_t end = i + match.length;
    found->push_back({row->syntax, i, std::string(text.substr(i, match.length)), std::move(match.key)});
    if (row->syntax == PlaceholderSyntax::kTag) Scan(text, i + 1, end, true, ordinal, found);
    i = end;
  }
}

}  // namespace

bool IsVariable(PlaceholderSyntax syntax) {
  return syntax != PlaceholderSyntax::kTag && syntax != PlaceholderSyntax::kEntity;
}

std::vector<Placeholder> FindPlaceholders(std::string_view text) {
  std::vector<Placeholder> found;
  int ordinal = 0;
  Scan(text, 0, text.size(), false, &ordinal, &found);
  return found;
}

bool MayHoldPlaceholders(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return kFirst.starts[static_cast<unsigned char>(c)]; });
}

std::string WithoutPlaceholders(std::string_view text) {
  std::string out;
  size_t at = 0;
  for (const Placeholder& placeholder : FindPlaceholders(text)) {
    if (placeholder.begin < at) continue;
    out.append(text, at, placeholder.begin - at).append(" ");
    at = placeholder.begin + placeholder.text.size();
  }
  return out.append(text, at, std::string_view::npos);
}

}  // namespace vykcn::tool
