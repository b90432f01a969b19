#include "checks/entry_checks.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

#include "base/utf8.h"
#include "checks/placeholders.h"
#include "checks/punctuation_checks.h"
#include "checks/untranslated_text.h"
#include "common/code_points.h"
#include "text_syntax/placeholder_syntax.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kLargestRecordCode = 0xFFFF;  // a glyph record holds one UTF-16 unit

bool IsControl(uint32_t c) { return (c < 0x20 && c != '\t' && c != '\n') || (c >= 0x80 && c < 0xA0); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string Leading(const std::string& text) {
  size_t n = 0;
  while (n < text.size() && IsBlank(text[n])) ++n;
  return text.substr(0, n);
}

// The blanks at the end, after the leading ones: a blank text has its blanks at the start only.
std::string Trailing(const std::string& text) {
  size_t n = text.size();
  while (n > Leading(text).size() && IsBlank(text[n - 1])) --n;
  return text.substr(n);
}

// "Cost: " -> "花费：", " (inactive)" -> "（未激活）": a full-width mark holds the space that its
// half-width form was written with, so a translation rightly drops the blank beside it. The marks
// are what stands next to the blank: the host text's byte, the translation's last or first three
// bytes (a full-width mark's UTF-8).
bool FullWidthHoldsTheBlank(char hostMark, std::string_view translationMark) {
  std::vector<uint32_t> own;
  return std::ispunct(static_cast<unsigned char>(hostMark)) && DecodeUtf8(translationMark, &own) && own.size() == 1 &&
         own[0] >= 0x80 && PlainMark(own[0]) == static_cast<uint32_t>(hostMark);
}

std::string CodeList(const std::set<uint32_t>& codes) {
  std::string out;
  for (uint32_t c : codes) out += (out.empty() ? "" : " ") + FormatCodePoint(c);
  return out;
}

}  // namespace

bool CheckEntry(const TextEntry& entry, int fileIndex, std::vector<Problem>* findings) {
  const size_t before = findings->size();
  const auto add = [&](Severity severity, std::string message, const char* category = "") {
    findings->push_back({fileIndex, entry.file, entry.line, severity, std::move(message), category});
  };
  namespace w = warning_class;

  // Errors: what the module could not look up or draw.
  if (entry.host.empty()) {
    add(Severity::kError, entry.hasContext ? "empty msgid with a context: the host never shows an empty text"
                                           : "empty host text: the host never shows an empty text");
  }
  std::set<uint32_t> controls, beyond;
  bool valid = true;
  for (size_t at = 0; valid && at < entry.translation.size();) {
    uint32_t c = static_cast<unsigned char>(entry.translation[at]);
    if (c < 0x80) ++at;  // ASCII, the most of many translations, without a call
    else valid = DecodeUtf8Char(entry.translation, &at, &c);
    if (valid && IsControl(c)) controls.insert(c);
    if (valid && c > kLargestRecordCode) beyond.insert(c);
  }
  if (!valid) {
    add(Severity::kError, "the translation is not valid UTF-8");
  } else {
    if (!controls.empty()) {
      add(Severity::kError, "control characters in the translation (only tab and line feed are drawn): " + CodeList(controls));
    }
    if (!beyond.empty()) {
      add(Severity::kError, "characters beyond U+FFFF, which a glyph record cannot hold: " + CodeList(beyond));
    }
  }
  PlaceholderComparison placeholders = ComparePlaceholders(entry.host, entry.translation, entry.printfFormat);
  // The first form of a plural may follow the plural host text ("one file" / "%d files"), as msgfmt allows.
  if (entry.plural) {
    const PlaceholderComparison plural = ComparePlaceholders(entry.pluralHost, entry.translation, entry.printfFormat);
    if (plural.variables.empty() && plural.printfOrder.empty()) placeholders.variables = placeholders.printfOrder = "";
    if (plural.markup.empty()) placeholders.markup.clear();
  }
  if (!placeholders.printfOrder.empty()) {
    add(Severity::kError, "order of printf conversions changed: " + placeholders.printfOrder +
                              ": the arguments would be swapped (positions, as in %2$s, let a translation reorder them)");
  }
  const bool usable = findings->size() == before;

  // Warnings: what is likely a slip of the translator's.
  if (!placeholders.variables.empty()) {
    add(Severity::kWarning, "placeholders differ from the host text: " + placeholders.variables, w::kPlaceholder);
  }
  if (!placeholders.markup.empty()) {
    add(Severity::kWarning, "markup differs from the host text: " + placeholders.markup, w::kMarkup);
  }
  const auto hostBreaks = std::count(entry.host.begin(), entry.host.end(), '\n');
  const auto translationBreaks = std::count(entry.translation.begin(), entry.translation.end(), '\n');
  if (hostBreaks != translationBreaks) {
    add(Severity::kWarning, std::to_string(translationBreaks) + " line breaks in the translation, " +
                                std::to_string(hostBreaks) + " in the host text", w::kLineBreaks);
  } else if (!entry.translation.empty() && Leading(entry.translation) == entry.translation &&
             Leading(entry.host) != entry.host) {  // one slip, one warning
    add(Severity::kWarning, "the translation is only white space: " + QuotedText(entry.translation), w::kWhiteSpace);
  } else {
    const std::string hostLead = Leading(entry.host), ownLead = Leading(entry.translation);
    const std::string hostTrail = Trailing(entry.host), ownTrail = Trailing(entry.translation);
    const std::string_view own = entry.translation;
    if (hostLead != ownLead && !(ownLead.empty() && hostLead.size() < entry.host.size() &&
                                 FullWidthHoldsTheBlank(entry.host[hostLead.size()], own.substr(0, 3)))) {
      add(Severity::kWarning, "leading white space differs: " + QuotedText(hostLead) + " in the host text, " +
                                  QuotedText(ownLead) + " in the translation", w::kWhiteSpace);
    }
    const size_t hostEnd = entry.host.size() - hostTrail.size();
    if (hostTrail != ownTrail && !(ownTrail.empty() && hostEnd > 0 && own.size() >= 3 &&
                                   FullWidthHoldsTheBlank(entry.host[hostEnd - 1], own.substr(own.size() - 3)))) {
      add(Severity::kWarning, "trailing white space differs: " + QuotedText(hostTrail) + " in the host text, " +
                                  QuotedText(ownTrail) + " in the translation", w::kWhiteSpace);
    }
  }
  if (entry.translation == entry.host && HasWordsToTranslate(entry.host)) {
    add(Severity::kWarning, "the translation is the host text unchanged", w::kUnchanged);
  }
  if (entry.translation != entry.host && LooksUntranslated(entry.host, entry.translation)) {
    add(Severity::kWarning,
        "the translation has Latin letters but no Chinese character: " + QuotedText(entry.translation),
        w::kUntranslatedText);
  }
  if (entry.crLfInCell) add(Severity::kWarning, "CR LF inside a quoted cell, read as a line feed", w::kCrLf);
  if (entry.plural) add(Severity::kWarning, "plural entry: only the first form (msgstr[0]) is used", w::kPlural);
  if (usable) CheckChinesePunctuation(entry, fileIndex, findings);
  if (entry.hasContext) {
    add(Severity::kWarning, "context " + QuotedText(entry.context) +
                                " is ignored: the module tells texts apart by the host text alone",
        w::kContext);
  }
  return usable;
}

}  // namespace vykcn::tool
