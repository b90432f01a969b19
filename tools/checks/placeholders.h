#pragma once
// The parts of a text that a program fills in or a renderer reads, which a translation must keep:
// printf directives (%s, %d, %1$s, %.*s ...), brace fields ({0}, {name}, {0:N2}) and markup tags.
#include <string>
#include <vector>

namespace vykcn::tool {

struct Placeholder {
  std::string key;   // what must match: argument position and conversion, field name, tag name
  std::string text;  // as written
};

// In text order. printf directives only when `printf` is set (PO entries not marked c-format are
// not checked for them, as msgfmt does not). "%%" and "{{" are no placeholders.
std::vector<Placeholder> FindPlaceholders(const std::string& text, bool printf);

// Empty when both texts hold the same placeholders (in any order); otherwise a short description,
// such as "%d missing, %s added".
std::string PlaceholderDifference(const std::string& host, const std::string& translation, bool printf);

}  // namespace vykcn::tool
