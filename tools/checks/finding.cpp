#include "checks/finding.h"

#include <algorithm>
#include <map>
#include <utility>

#include "base/utf8.h"

namespace vykcn::tool {

std::string FormatFinding(const Finding& finding) {
  static const char* const kNames[] = {"error", "warning", "note"};
  std::string place = finding.file;
  if (finding.line > 0) place += ":" + std::to_string(finding.line);
  if (!place.empty()) place += ": ";  // a finding about the whole set has no place
  const std::string category = finding.category.empty() ? "" : " [" + finding.category + "]";
  return place + kNames[static_cast<int>(finding.severity)] + ": " + finding.message + category;
}

const std::vector<std::string>& WarningClasses() {
  namespace w = warning_class;
  static const std::vector<std::string> classes = {w::kPlaceholder, w::kMarkup,
                                                   w::kLineBreaks,  w::kWhiteSpace, w::kUnchanged,
                                                   w::kUntranslatedText,
                                                   w::kCrLf,        w::kPlural,     w::kContext,    w::kEncoding,
                                                   w::kGlyph,       w::kFallback,   w::kAcceptedHash,
                                                   w::kNearMatch,
                                                   w::kWidth,       w::kHalfWidth,  w::kSentenceEnd,
                                                   w::kLineStart,   w::kDoubled};
  return classes;
}

void ApplyWarningPolicy(const WarningPolicy& policy, std::vector<Finding>* findings) {
  std::vector<Finding> kept;
  kept.reserve(findings->size());
  for (Finding& finding : *findings) {
    if (finding.severity == Severity::kWarning) {
      if (policy.disabled.count(finding.category) != 0) continue;
      if (policy.strict || policy.fatal.count(finding.category) != 0) finding.severity = Severity::kError;
    }
    kept.push_back(std::move(finding));
  }
  *findings = std::move(kept);
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

namespace {

// "1203 [unchanged], 2 [fallback]": the findings of one severity counted by class, most first.
std::string CountsByClass(const std::vector<Finding>& findings, Severity severity) {
  std::map<std::string, size_t> counts;
  for (const Finding& finding : findings) {
    if (finding.severity == severity) ++counts[finding.category];
  }
  std::vector<std::pair<std::string, size_t>> sorted(counts.begin(), counts.end());
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  std::string listed;
  for (const auto& [category, count] : sorted) {
    listed += (listed.empty() ? "" : ", ") + std::to_string(count) + (category.empty() ? "" : " [" + category + "]");
  }
  return listed;
}

}  // namespace

void PrintFindings(std::FILE* stream, const std::vector<Finding>& findings, size_t limit) {
  size_t warnings = 0, notes = 0;
  for (const Finding& finding : findings) {
    if (finding.severity == Severity::kWarning && ++warnings > limit) continue;
    if (finding.severity == Severity::kNote && ++notes > limit) continue;
    std::fprintf(stream, "%s\n", FormatFinding(finding).c_str());
  }
  if (warnings > limit) {
    std::fprintf(stream, "warnings: %s (the first %zu shown); run vykcn-tool check to see them all\n",
                 CountsByClass(findings, Severity::kWarning).c_str(), limit);
  }
  if (notes > limit) {
    std::fprintf(stream, "notes: %s (the first %zu shown); run vykcn-tool check to see them all\n",
                 CountsByClass(findings, Severity::kNote).c_str(), limit);
  }
}

std::string QuotedText(const std::string& text, size_t shown) {
  std::string out = "\"";
  size_t at = 0;
  while (at < text.size() && at < shown) {
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
