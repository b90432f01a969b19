#include "checks/placeholders.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "text_syntax/placeholder_syntax.h"

namespace vykcn::tool {
namespace {

std::string List(const std::vector<Placeholder>& items) {
  std::string out;
  for (const Placeholder& p : items) out += (out.empty() ? "" : " ") + p.text;
  return out;
}

// "A B missing, C added", or "" when both hold the same keys as often.
std::string Difference(std::vector<Placeholder> expected, std::vector<Placeholder> actual) {
  const auto byKey = [](const Placeholder& a, const Placeholder& b) { return a.key < b.key; };
  std::stable_sort(expected.begin(), expected.end(), byKey);
  std::stable_sort(actual.begin(), actual.end(), byKey);
  std::vector<Placeholder> missing, added;
  std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing), byKey);
  std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(added), byKey);
  std::string difference;
  if (!missing.empty()) difference = List(missing) + " missing";
  if (!added.empty()) difference += (difference.empty() ? "" : ", ") + List(added) + " added";
  return difference;
}

enum Group { kPrintf, kOtherVariable, kMarkup, kIgnored };

Group GroupOf(const Placeholder& p, bool printf) {
  if (p.syntax == PlaceholderSyntax::kPrintf) return printf ? kPrintf : kIgnored;
  return IsVariable(p.syntax) ? kOtherVariable : kMarkup;
}

// The conversions of printf directives, whatever their argument: "d", ".*s".
std::vector<std::string> Conversions(const std::vector<Placeholder>& directives) {
  std::vector<std::string> conversions;
  for (const Placeholder& p : directives) conversions.push_back(p.key.substr(p.key.find('$') + 1));
  std::sort(conversions.begin(), conversions.end());
  return conversions;
}

}  // namespace

PlaceholderComparison ComparePlaceholders(std::string_view host, std::string_view translation, bool printf) {
  std::vector<Placeholder> expected[kIgnored + 1], actual[kIgnored + 1];
  for (Placeholder& p : FindPlaceholders(host)) expected[GroupOf(p, printf)].push_back(std::move(p));
  for (Placeholder& p : FindPlaceholders(translation)) actual[GroupOf(p, printf)].push_back(std::move(p));
  PlaceholderComparison result;
  // Each argument still has its conversion, but not where the host text put it.
  if (!Difference(expected[kPrintf], actual[kPrintf]).empty() &&
      Conversions(expected[kPrintf]) == Conversions(actual[kPrintf])) {
    result.printfOrder = "\"" + List(expected[kPrintf]) + "\" in the host text, \"" + List(actual[kPrintf]) + "\" here";
  } else {
    expected[kOtherVariable].insert(expected[kOtherVariable].begin(), expected[kPrintf].begin(), expected[kPrintf].end());
    actual[kOtherVariable].insert(actual[kOtherVariable].begin(), actual[kPrintf].begin(), actual[kPrintf].end());
  }
  result.variables = Difference(expected[kOtherVariable], actual[kOtherVariable]);
  result.markup = Difference(expected[kMarkup], actual[kMarkup]);
  return result;
}

}  // namespace vykcn::tool
