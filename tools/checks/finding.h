#pragma once
// One problem found in translators' files, as the checks report it: "FILE:LINE: error: ...", and
// the classes of warnings, each of which a user can switch off or make an error.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace vykcn::tool {

enum class Severity { kError, kWarning, kNote };

// Warning classes, named in each warning's line as "[class]".
namespace warning_class {
constexpr char kPlaceholder[] = "placeholder";   // variables differ: printf directives, brace fields, $names, %names%
constexpr char kMarkup[] = "markup";             // tags or entities differ
constexpr char kLineBreaks[] = "line-breaks";    // another number of line feeds than the host text
constexpr char kWhiteSpace[] = "white-space";    // leading or trailing white space differs
constexpr char kUnchanged[] = "unchanged";       // the translation is the host text
constexpr char kUntranslatedText[] = "untranslated-text";  // Latin letters and no CJK character in the translation
constexpr char kCrLf[] = "crlf";                 // CR LF read as LF in a CSV cell
constexpr char kPlural[] = "plural";             // only msgstr[0] is used
constexpr char kContext[] = "context";           // msgctxt, which the module cannot tell apart
constexpr char kEncoding[] = "encoding";         // how a file was read (a byte order mark)
constexpr char kGlyph[] = "glyph";               // a host text's character that no glyph record can hold
constexpr char kFallback[] = "fallback";         // the subtitle site's fallback finds another entry's translation
constexpr char kAcceptedHash[] = "accepted-hash";  // an accepted hash that no two texts share
constexpr char kNearMatch[] = "near-match";      // untranslated, but a translated text differs only in white space
constexpr char kWidth[] = "width";               // a line wider than the limit, or more lines
constexpr char kHalfWidth[] = "half-width";      // , . ? ! : ; ( ) between Chinese characters
constexpr char kSentenceEnd[] = "sentence-end";  // the translation's sentence end differs from the host text's
constexpr char kLineStart[] = "line-start";      // a line starts with a closing mark
constexpr char kDoubled[] = "doubled";           // a doubled mark that the host text does not have
}  // namespace warning_class

// Every warning class, in the order above.
const std::vector<std::string>& WarningClasses();

// Note classes, named the same way (notes are never errors, and cannot be switched off).
namespace note_class {
constexpr char kOverride[] = "override";         // --later-wins replaced an earlier translation
constexpr char kSharedHash[] = "shared-hash";    // an accepted hash that texts share
}  // namespace note_class

// What a user asked of the warnings: some classes left out, some (or, strict, all) made errors.
// Errors stay errors whatever is asked.
struct WarningPolicy {
  std::set<std::string> disabled;
  std::set<std::string> fatal;
  bool strict = false;
};

struct Finding {
  int fileIndex = -1;  // position of the file among those given; -1: not a translators' file (the font)
  std::string file;    // empty: the set as a whole
  int line = 0;        // 0: the file as a whole
  Severity severity = Severity::kError;
  std::string message;
  std::string category{};  // a warning's or note's class, "" for an error found as one
};

// "FILE:LINE: error: MESSAGE [class]" (no line part when the line is not known).
std::string FormatFinding(const Finding& finding);

// In file order, then line order; findings at one place keep the order they were found in.
void SortFindings(std::vector<Finding>* findings);

size_t CountFindings(const std::vector<Finding>& findings, Severity severity);

// Leaves out the warnings of disabled classes and turns those of fatal classes into errors.
void ApplyWarningPolicy(const WarningPolicy& policy, std::vector<Finding>* findings);

// Prints one finding a line, every error but only the first `limit` warnings and the first `limit`
// notes; when some were left out, then every warning counted by class, "warnings: 1203 [unchanged],
// 2 [fallback] (the first 20 shown); run vykcn-tool check to see them all" (and the same of notes),
// so that a class that the first ones hide is still named.
void PrintFindings(std::FILE* stream, const std::vector<Finding>& findings, size_t limit);

// A text as the messages quote it: escapes for line breaks, tabs and quotes, cut after `shown` bytes.
std::string QuotedText(const std::string& text, size_t shown = 60);

}  // namespace vykcn::tool
