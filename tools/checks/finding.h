#pragma once
// The checks' findings (each a Problem, common/problem.h) as a set: the classes of warnings, each of
// which a user can switch off or make an error, their order, and how many are printed.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "common/problem.h"

namespace vykcn::tool {

struct WarningClass {
  const char* name;
  const char* warnsOf;  // in a translator's words; the README's table of classes says the same
};

// Every warning class and what it warns of, in the order the README and the help list them.
const std::vector<WarningClass>& WarningClassTable();

// Every warning class's name, in the table's order.
const std::vector<std::string>& WarningClasses();

// What a user asked of the warnings: some classes left out, some (or, strict, all) made errors.
// Errors stay errors whatever is asked.
struct WarningPolicy {
  std::set<std::string> disabled;
  std::set<std::string> fatal;
  bool strict = false;
};

// In file order, then line order; findings at one place keep the order they were found in.
void SortFindings(std::vector<Problem>* findings);

size_t CountFindings(const std::vector<Problem>& findings, Severity severity);

// Leaves out the warnings of disabled classes and turns those of fatal classes into errors.
void ApplyWarningPolicy(const WarningPolicy& policy, std::vector<Problem>* findings);

// Prints one finding a line, every error but only the first `limit` warnings and the first `limit`
// notes; when some were left out, then every warning counted by class, "warnings: 1203 [unchanged],
// 2 [fallback] (the first 20 shown); run vykcn-tool check to see them all" (and the same of notes),
// so that a class that the first ones hide is still named.
void PrintFindings(std::FILE* stream, const std::vector<Problem>& findings, size_t limit);

// A text as the messages quote it: escapes for line breaks, tabs and quotes, cut after `shown` bytes.
std::string QuotedText(const std::string& text, size_t shown = 60);

}  // namespace vykcn::tool
