#pragma once
// A translation against its host text: the placeholders of the table in text_syntax it lost or
// added, told apart as variables and markup, and printf arguments that another order would swap.
#include <string>
#include <string_view>

namespace vykcn::tool {

struct PlaceholderComparison {
  std::string variables;  // printf directives, brace fields, $names, %names%: "$name missing, $nom added"
  std::string markup;     // tags and entities, the same way: "<i> </i> missing, <b> </b> added"
  // The same printf conversions, some without a position, in another order, which would hand the
  // program's arguments to the wrong ones: "\"%d %s\" in the host text, \"%s %d\" here".
  std::string printfOrder;
};

// Placeholders may move: only their keys count, in any order, except printf conversions without
// positions. printf directives only when `printf` is set (PO entries marked as another format, or
// none, are not checked for them, as msgfmt does not).
PlaceholderComparison ComparePlaceholders(std::string_view host, std::string_view translation, bool printf);

}  // namespace vykcn::tool
