#include "checks/placeholders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace vykcn::tool {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// A printf directive at text[at] (which is '%'); its length, or 0 when there is none.
size_t PrintfDirective(const std::string& text, size_t at, std::string* key, int* ordinal) {
  size_t i = at + 1;
  size_t digits = i;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  std::string position;
  if (digits > i && digits < text.size() && text[digits] == '$') {
    position = text.substr(i, digits - i);
    i = digits + 1;
  }
  // A space flag is left out: "100% sure" is prose, not "% s".
  while (i < text.size() && std::strchr("-+#0'", text[i]) != nullptr) ++i;
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
  if (i >= text.size() || std::strchr("diouxXeEfFgGaAcspn", text[i]) == nullptr) return 0;
  shape += text[i] == 'i' ? 'd' : text[i];
  *key = (position.empty() ? std::to_string(++*ordinal) : position) + "$" + shape;
  return i + 1 - at;
}

// A brace field at text[at] (which is '{'): {0}, {name}, {0:N2}, {1,-8}.
size_t BraceField(const std::string& text, size_t at, std::string* key) {
  size_t i = at + 1;
  while (i < text.size() && IsWordChar(text[i])) ++i;
  if (i == at + 1) return 0;
  const std::string name = text.substr(at + 1, i - at - 1);
  if (i < text.size() && (text[i] == ':' || text[i] == ',')) {
    while (i < text.size() && text[i] != '}' && text[i] != '{') ++i;
  }
  if (i >= text.size() || text[i] != '}') return 0;
  *key = "{" + name + "}";
  return i + 1 - at;
}

// An attribute value: quoted, or up to white space or the tag's end.
size_t AttributeValue(const std::string& text, size_t i) {
  if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
    const size_t close = text.find(text[i], i + 1);
    return close == std::string::npos ? std::string::npos : close + 1;
  }
  const size_t start = i;
  while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != '>' && text[i] != '<') ++i;
  return i > start ? i : std::string::npos;
}

// A markup tag at text[at] (which is '<'): <b>, </b>, <br/>, <color=#ff0000>, <font size="2">.
// Every attribute has a value, so that prose in angle brackets ("<standard input>") is no tag.
size_t MarkupTag(const std::string& text, size_t at, std::string* key) {
  size_t i = at + 1;
  const bool closing = i < text.size() && text[i] == '/';
  if (closing) ++i;
  const size_t nameStart = i;
  if (i >= text.size() || !std::isalpha(static_cast<unsigned char>(text[i]))) return 0;
  while (i < text.size() && (IsWordChar(text[i]) || text[i] == '-' || text[i] == ':')) ++i;
  std::string name = text.substr(nameStart, i - nameStart);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (i < text.size() && text[i] == '=' && (i = AttributeValue(text, i + 1)) == std::string::npos) return 0;
  for (;;) {
    size_t j = i;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    if (j == i || j >= text.size() || !std::isalpha(static_cast<unsigned char>(text[j]))) {
      i = j;
      break;
    }
    while (j < text.size() && (IsWordChar(text[j]) || text[j] == '-' || text[j] == ':')) ++j;
    if (j >= text.size() || text[j] != '=' || (j = AttributeValue(text, j + 1)) == std::string::npos) return 0;
    i = j;
  }
  const bool selfClosing = i < text.size() && text[i] == '/';
  if (selfClosing) ++i;
  if (i >= text.size() || text[i] != '>') return 0;
  *key = std::string("<") + (closing ? "/" : "") + name + (selfClosing ? "/" : "") + ">";
  return i + 1 - at;
}

}  // namespace

std::vector<Placeholder> FindPlaceholders(const std::string& text, bool printf) {
  std::vector<Placeholder> found;
  int ordinal = 0;
  for (size_t i = 0; i < text.size();) {
    std::string key;
    size_t length = 0;
    if (text[i] == '%' && printf) {
      if (i + 1 < text.size() && text[i + 1] == '%') {
        i += 2;
        continue;
      }
      length = PrintfDirective(text, i, &key, &ordinal);
    } else if (text[i] == '{') {
      if (i + 1 < text.size() && text[i + 1] == '{') {
        i += 2;
        continue;
      }
      length = BraceField(text, i, &key);
    } else if (text[i] == '<') {
      length = MarkupTag(text, i, &key);
    }
    if (length == 0) {
      ++i;
      continue;
    }
    found.push_back({key, text.substr(i, length)});
    i += length;
  }
  return found;
}

std::string PlaceholderDifference(const std::string& host, const std::string& translation, bool printf) {
  std::vector<Placeholder> expected = FindPlaceholders(host, printf);
  std::vector<Placeholder> actual = FindPlaceholders(translation, printf);
  const auto byKey = [](const Placeholder& a, const Placeholder& b) { return a.key < b.key; };
  std::stable_sort(expected.begin(), expected.end(), byKey);
  std::stable_sort(actual.begin(), actual.end(), byKey);
  std::vector<Placeholder> missing, added;
  std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing), byKey);
  std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(added), byKey);
  const auto list = [](const std::vector<Placeholder>& items) {
    std::string out;
    for (const Placeholder& p : items) out += (out.empty() ? "" : " ") + p.text;
    return out;
  };
  std::string difference;
  if (!missing.empty()) difference = list(missing) + " missing";
  if (!added.empty()) difference += (difference.empty() ? "" : ", ") + list(added) + " added";
  return difference;
}

}  // namespace vykcn::tool
