#pragma once
// One problem found in translators' files, as the checks report it: "FILE:LINE: error: ...", and
// the classes of warnings, each of which a user can switch off or make an error.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace vykcn::tool {

enum class Severity { kError, kWarning, kNote };

// Warning classes, named in each warning's line as "[class]"; what each warns of is in the table
// of WarningClassTable().
namespace warning_class {
constexpr char kPlaceholder[] = "placeholder";
constexpr char kMarkup[] = "markup";
constexpr char kLineBreaks[] = "line-breaks";
constexpr char kWhiteSpace[] = "white-space";
constexpr char kUnchanged[] = "unchanged";
constexpr char kUntranslatedText[] = "untranslated-text";
constexpr char kCrLf[] = "crlf";
constexpr char kPlural[] = "plural";
constexpr char kContext[] = "context";
constexpr char kEncoding[] = "encoding";
constexpr char kGlyph[] = "glyph";
constexpr char kFallback[] = "fallback";
constexpr char kAcceptedHash[] = "accepted-hash";
constexpr char kNearMatch[] = "near-match";
constexpr char kWidth[] = "width";
constexpr char kHalfWidth[] = "half-width";
constexpr char kSentenceEnd[] = "sentence-end";
constexpr char kLineStart[] = "line-start";
constexpr char kDoubled[] = "doubled";
}  // namespace warning_class

struct WarningClass {
  const char* name;
  const char* warnsOf;  // in a translator's words; the README's table of classes says the same
};

// Every warning class and what it warns of, in the order the README and the help list them.
const std::vector<WarningClass>& WarningClassTable();

// Every warning class's name, in the table's order.
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
  bool aboutGlyphs = false;  // found holding the characters against the fonts: pack-font's own in a build
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
