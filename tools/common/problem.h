#pragma once
// One problem, as the toolkit finds it and prints it: a reader's syntax error, a check's finding, a
// failure that stops a command. Its severity, class, file and line are fields from where it is
// found to where it is printed, "FILE:LINE: error: MESSAGE [class]", as gettext's tools print theirs.
#include <string>

namespace vykcn::tool {

enum class Severity { kError, kWarning, kNote };

// Warning classes, named in each warning's line as "[class]"; what each warns of is in the table
// of WarningClassTable() (checks/finding.h).
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

// Note classes, named the same way (notes are never errors, and cannot be switched off).
namespace note_class {
constexpr char kOverride[] = "override";         // --later-wins replaced an earlier translation
constexpr char kSharedHash[] = "shared-hash";    // an accepted hash that texts share
}  // namespace note_class

struct Problem {
  int fileIndex = -1;  // position of the file among those given; -1: none of them (the font, or no file)
  std::string file;    // empty: the set as a whole, or no file
  int line = 0;        // 0: the file as a whole
  Severity severity = Severity::kError;
  std::string message;
  std::string category{};    // a warning's or note's class, "" for an error found as one
  bool aboutGlyphs = false;  // found holding the characters against the fonts: pack-font's own in a build
};

// "FILE:LINE: ", "FILE: ", or nothing when the problem has no place.
std::string PlaceOf(const Problem& problem);

// "FILE:LINE: error: MESSAGE [class]" (no line part when the line is not known).
std::string FormatProblem(const Problem& problem);

}  // namespace vykcn::tool
