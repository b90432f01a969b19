#include "checks/finding.h"

#include <algorithm>
#include <map>
#include <utility>

#include "base/utf8.h"

namespace vykcn::tool {

const std::vector<WarningClass>& WarningClassTable() {
  namespace w = warning_class;
  static const std::vector<WarningClass> table = {
      {w::kPlaceholder, "a variable that the host text and the translation do not both hold: printf %d %-5.2f %1$s, "
                        "brace {0} {name} {0:N2}, $name $unit.name|, %name% (they may move)"},
      {w::kMarkup, "tags with their attributes (<i>, <span color='red'>, <ref>dst='unit_Mage' text='Mage'</ref>) or "
                   "entities (&amp;) that differ: a team that restyles tags, as Chinese has no italics, may --disable "
                   "markup and still be told of a dropped $name"},
      {w::kLineBreaks, "another number of line feeds than the host text"},
      {w::kWhiteSpace, "white space at the start or the end that differs from the host text's (a full-width mark holds "
                       "the blank beside its half-width form: 'Cost: ' as '花费：'), or a translation of white space "
                       "only"},
      {w::kUnchanged, "the translation is the host text, and the host text has words: letters outside its "
                      "placeholders, markup and strftime's %H ('[%H:%M]' is never unchanged)"},
      {w::kUntranslatedText, "a translation with Latin letters outside its placeholders and markup and no Chinese "
                             "character (a line left in English, or mojibake from a wrong charset), unless it keeps a "
                             "name of the host text, is an abbreviation in capitals, or is a value the game reads: "
                             "'DejaVu Sans,Droid Sans Fallback', 'zh_CN', strftime's '%A %p'"},
      {w::kCrLf, "CR LF inside a quoted CSV cell, read as a line feed"},
      {w::kPlural, "a plural entry, of which only the first form (msgstr[0]) is used"},
      {w::kContext, "a msgctxt, which the module cannot tell apart: it keys on the host text alone"},
      {w::kEncoding, "how a file was read: a byte order mark"},
      {w::kGlyph, "a host text's character beyond U+FFFF, which no glyph record can hold"},
      {w::kFallback, "a host text without a translation, for which the subtitle site's fallback finds a shortened "
                     "text's own translation"},
      {w::kAcceptedHash, "an accepted hash (--accept-shared-hash) that no two host texts share"},
      {w::kNearMatch, "a text of --host-texts without a translation, which differs from a translated text only in "
                      "white space at the end or a line feed"},
      {w::kWidth, "a line wider than --max-width, or a translation of more lines than --max-lines"},
      {w::kHalfWidth, ", . ? ! : ; ( ) between Chinese characters, unless the host text writes the mark as data (a "
                      "list 'Alice,Bob,Carol', or the mark alone: 'expected , or =') and the translation keeps it so"},
      {w::kSentenceEnd, "the host text ends a sentence with . ? ! or … and the translation not with 。 ？ ！ ……, or "
                        "the reverse (closing quotes and tags aside)"},
      {w::kLineStart, "a line starts with a mark no line may start with, and the host text's line does not start "
                      "with that mark ('...' as '……' may)"},
      {w::kDoubled, "a mark doubled where the host text has no such pair, named as written: ！！ or ,, or ：:"},
  };
  return table;
}

const std::vector<std::string>& WarningClasses() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (const WarningClass& c : WarningClassTable()) all.push_back(c.name);
    return all;
  }();
  return names;
}

void ApplyWarningPolicy(const WarningPolicy& policy, std::vector<Problem>* findings) {
  std::vector<Problem> kept;
  kept.reserve(findings->size());
  for (Problem& finding : *findings) {
    if (finding.severity == Severity::kWarning) {
      if (policy.disabled.count(finding.category) != 0) continue;
      if (policy.strict || policy.fatal.count(finding.category) != 0) finding.severity = Severity::kError;
    }
    kept.push_back(std::move(finding));
  }
  *findings = std::move(kept);
}

void SortFindings(std::vector<Problem>* findings) {
  std::stable_sort(findings->begin(), findings->end(), [](const Problem& a, const Problem& b) {
    if (a.fileIndex != b.fileIndex) return a.fileIndex < b.fileIndex;
    return a.line < b.line;
  });
}

size_t CountFindings(const std::vector<Problem>& findings, Severity severity) {
  return static_cast<size_t>(std::count_if(findings.begin(), findings.end(),
                                           [severity](const Problem& f) { return f.severity == severity; }));
}

namespace {

// "1203 [unchanged], 2 [fallback]": the findings of one severity counted by class, most first.
std::string CountsByClass(const std::vector<Problem>& findings, Severity severity) {
  std::map<std::string, size_t> counts;
  for (const Problem& finding : findings) {
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

void PrintFindings(std::FILE* stream, const std::vector<Problem>& findings, size_t limit) {
  size_t warnings = 0, notes = 0;
  for (const Problem& finding : findings) {
    if (finding.severity == Severity::kWarning && ++warnings > limit) continue;
    if (finding.severity == Severity::kNote && ++notes > limit) continue;
    std::fprintf(stream, "%s\n", FormatProblem(finding).c_str());
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
