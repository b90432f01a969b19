#include "checks/finding.h"

#include <algorithm>

#include "base/utf8.h"

namespace vykcn::tool {

std::string FormatFinding(const Finding& finding) {
  static const char* const kNames[] = {"error", "warning", "note"};
  std::string place = finding.file;
  if (finding.line > 0) place += ":" + std::to_string(finding.line);
  if (!place.empty()) place += ": ";  // a finding about the whole set has no place
  return place + kNames[static_cast<int>(finding.severity)] + ": " + finding.message;
}

void SortFindings(std::vector<Finding>* findings) {
  std::stable_sort(findings->begin(), findings->end(), [](const Finding& a, const Finding& b) {
    if (a.fileIndex != b.fileIndex) return a.fileIndex < b.fileIndex;
    return a.line < b.line;
  });
}

size_t CountFindings(const std::vector<Finding>& findings, Severity severity) {
  return static_cast<size_t>(std::count_if(findings.begin(), findings.end(),
                                           [severity](const Finding& f) { return f.severity == severity; }));
}

void PrintFindings(std::FILE* stream, const std::vector<Finding>& findings, size_t warningLimit) {
  size_t warnings = 0;
  for (const Finding& finding : findings) {
    if (finding.severity == Severity::kWarning && ++warnings > warningLimit) continue;
    std::fprintf(stream, "%s\n", FormatFinding(finding).c_str());
  }
  if (warnings > warningLimit) {
    std::fprintf(stream, "and %zu more warnings; run vykcn-tool check\n", warnings - warningLimit);
  }
}

std::string QuotedText(const std::string& text) {
  constexpr size_t kShown = 60;
  std::string out = "\"";
  size_t at = 0;
  while (at < text.size() && at < kShown) {
    const char c = text[at];
    const size_t start = at;
    uint32_t code = 0;
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else if (DecodeUtf8Char(text, &at, &code) && code >= 0x20 && code != 0x7F && (code < 0x80 || code >= 0xA0)) {
      out += text.substr(start, at - start);
      continue;
    } else {
      // Control characters and bytes that are not UTF-8, so that the message stays one readable line.
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    }
    at = start + 1;
  }
  if (at < text.size()) out += "...";
  return out + "\"";
}

}  // namespace vykcn::tool
