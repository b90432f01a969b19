#pragma once
// One problem found in translators' files, as the checks report it: "FILE:LINE: error: ...".
#include <cstdio>
#include <string>
#include <vector>

namespace vykcn::tool {

enum class Severity { kError, kWarning, kNote };

struct Finding {
  int fileIndex = -1;  // position of the file among those given; -1: not a translators' file (the font)
  std::string file;    // empty: the set as a whole
  int line = 0;        // 0: the file as a whole
  Severity severity = Severity::kError;
  std::string message;
};

// "FILE:LINE: error: MESSAGE" (no line part when the line is not known).
std::string FormatFinding(const Finding& finding);

// In file order, then line order; findings at one place keep the order they were found in.
void SortFindings(std::vector<Finding>* findings);

size_t CountFindings(const std::vector<Finding>& findings, Severity severity);

// Prints one finding a line, all errors and notes but only the first `warningLimit` warnings,
// then "and N more warnings; run vykcn-tool check" when some were left out.
void PrintFindings(std::FILE* stream, const std::vector<Finding>& findings, size_t warningLimit);

// A text as the messages quote it: escapes for line breaks, tabs and quotes, cut after 60 bytes.
std::string QuotedText(const std::string& text);

}  // namespace vykcn::tool
