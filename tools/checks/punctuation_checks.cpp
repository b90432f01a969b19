#include "checks/punctuation_checks.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "common/code_points.h"
#include "rendering/line_breaking.h"
#include "text_syntax/placeholder_syntax.h"

namespace vykcn::tool {
namespace {

bool IsHan(uint32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF);
}
bool IsBlank(uint32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0x3000; }
bool IsAsciiAlnum(uint32_t c) { return c < 0x80 && std::isalnum(static_cast<int>(c)); }
bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }
// A character of a word or a name, in any script: not blank, not ASCII punctuation.
bool IsWordCharacter(uint32_t c) { return c != 0 && !IsBlank(c) && !(c < 0x80 && std::ispunct(static_cast<int>(c))); }

// Half-width marks and the full-width forms Chinese text uses for them.
constexpr std::u32string_view kHalfWidth = U",.?!:;()";
constexpr std::u32string_view kFullWidth = U"，。？！：；（）";

// Quotes and brackets that may close a sentence after its end mark: "“去！”" ends with "！".
constexpr std::u32string_view kClosers = U"\"')]”’」』）》】";

// A half-width mark right before an ASCII letter or digit starts a name, not a clause: the
// placeholder "%s", the file ".bashrc", the command ":unit".
bool StartsAName(const std::vector<uint32_t>& codes, size_t i) {
  return codes[i] < 0x80 && std::ispunct(static_cast<int>(codes[i])) && i + 1 < codes.size() &&
         IsAsciiAlnum(codes[i + 1]);
}

// Whether the host text writes `mark` as data rather than as punctuation: between two characters
// of words, digits aside ("Alice,Bob,Carol", a list the game may read; not "1,000"), or alone
// between blanks ("expected , or =" names the character). A translation keeps it as it is.
bool HostWritesAsData(const std::vector<uint32_t>& host, uint32_t mark) {
  for (size_t i = 0; i < host.size(); ++i) {
    if (host[i] != mark) continue;
    const uint32_t before = i > 0 ? host[i - 1] : 0, after = i + 1 < host.size() ? host[i + 1] : 0;
    const bool list = IsWordCharacter(before) && IsWordCharacter(after) && !(IsDigit(before) && IsDigit(after));
    const bool alone = (before == 0 || IsBlank(before)) && (after == 0 || IsBlank(after));
    if (list || alone) return true;
  }
  return false;
}

// The text without the tags it ends with (and the blanks around them): "韦诺！</big>" ends a
// sentence with "！".
std::string_view WithoutClosingMarkup(std::string_view text) {
  const std::vector<Placeholder> placeholders = FindPlaceholders(text);
  size_t end = text.size();
  const auto trim = [&] {
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\n')) --end;
  };
  trim();
  for (auto p = placeholders.rbegin(); p != placeholders.rend(); ++p) {
    if (p->begin >= end) continue;  // a variable inside a tag already cut
    if (p->syntax != PlaceholderSyntax::kTag || p->begin + p->text.size() != end) break;
    end = p->begin;
    trim();
  }
  return text.substr(0, end);
}

enum class SentenceEnd { kNone, kPeriod, kQuestion, kExclamation, kEllipsis };

const char* Named(SentenceEnd end) {
  switch (end) {
    case SentenceEnd::kPeriod: return "。";
    case SentenceEnd::kQuestion: return "？";
    case SentenceEnd::kExclamation: return "！";
    case SentenceEnd::kEllipsis: return "……";
    default: return "";
  }
}

// The kind of sentence end of `codes`, after trailing blanks and closing quotes. Half-width marks
// count in a host text everywhere, in a translation only after a character that is not Chinese.
SentenceEnd EndOf(const std::vector<uint32_t>& codes, bool translation) {
  size_t n = codes.size();
  while (n > 0 && IsBlank(codes[n - 1])) --n;
  while (n > 0 && kClosers.find(static_cast<char32_t>(codes[n - 1])) != std::u32string_view::npos) --n;
  if (n == 0) return SentenceEnd::kNone;
  const uint32_t c = codes[n - 1];
  const bool halfAllowed = !translation || n < 2 || !IsHan(codes[n - 2]);
  if (c == 0x2026) {
    // Chinese writes the ellipsis twice; English once, or as full stops.
    return !translation || (n >= 2 && codes[n - 2] == 0x2026) ? SentenceEnd::kEllipsis : SentenceEnd::kNone;
  }
  if (c == '.' && n >= 2 && codes[n - 2] == '.') {  // "..." and the sloppy ".."
    return halfAllowed ? SentenceEnd::kEllipsis : SentenceEnd::kNone;
  }
  if (c == 0x3002 || (c == '.' && halfAllowed)) return SentenceEnd::kPeriod;
  if (c == 0xFF1F || (c == '?' && halfAllowed)) return SentenceEnd::kQuestion;
  if (c == 0xFF01 || (c == '!' && halfAllowed)) return SentenceEnd::kExclamation;
  return SentenceEnd::kNone;
}

// The first place where one mark stands twice in a row, in either width, as written ("！！",
// ",,", "：:"); "" when there is none. A mark that starts a name is none ("例如：:unit").
std::string Doubled(const std::vector<uint32_t>& codes, uint32_t full, uint32_t half) {
  for (size_t i = 1; i < codes.size(); ++i) {
    const bool a = codes[i - 1] == full || codes[i - 1] == half, b = codes[i] == full || codes[i] == half;
    if (a && b && !StartsAName(codes, i)) return EncodeUtf8(codes[i - 1]) + EncodeUtf8(codes[i]);
  }
  return "";
}

}  // namespace

uint32_t PlainMark(uint32_t c) {
  if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFEE0;  // the full-width forms of ASCII
  if (c == 0x3002 || c == 0x2026 || c == 0x2025) return '.';  // 。 … ‥
  return c == 0x3001 ? ',' : c;  // 、
}

void CheckChinesePunctuation(const TextEntry& entry, int fileIndex, std::vector<Problem>* findings) {
  // Kept from entry to entry, so that decoding a set's texts does not allocate for each.
  static thread_local std::vector<uint32_t> text, host, hostSentence, ownSentence;
  if (!DecodeUtf8(entry.translation, &text) || std::none_of(text.begin(), text.end(), IsHan)) return;
  const bool hostValid = DecodeUtf8(entry.host, &host);
  if (!hostValid) host.clear();
  const auto add = [&](const std::string& message, const char* category) {
    findings->push_back({fileIndex, entry.file, entry.line, Severity::kWarning, message, category});
  };
  namespace w = warning_class;

  // Half-width marks between Chinese characters (blanks after the mark aside), unless the host
  // text writes the mark as data and the translation keeps it so, without a blank.
  std::string half, full;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    const size_t mark = kHalfWidth.find(static_cast<char32_t>(text[i]));
    if (mark == std::u32string_view::npos || !IsHan(text[i - 1])) continue;
    size_t next = i + 1;
    while (next < text.size() && text[next] == ' ') ++next;
    if (next == i + 1 && HostWritesAsData(host, text[i])) continue;
    if (next < text.size() && IsHan(text[next]) && half.find(EncodeUtf8(text[i])) == std::string::npos) {
      half += (half.empty() ? "" : " ") + EncodeUtf8(text[i]);
      full += (full.empty() ? "" : " ") + EncodeUtf8(kFullWidth[mark]);
    }
  }
  if (!half.empty()) add("half-width " + half + " between Chinese characters: write " + full, w::kHalfWidth);

  // A text without tags ends where it ends: the blanks that WithoutClosingMarkup would trim are
  // blanks that EndOf passes over, so the codes already decoded serve.
  const auto sentence = [](std::string_view written, bool valid, const std::vector<uint32_t>& codes,
                           std::vector<uint32_t>* cut) -> const std::vector<uint32_t>& {
    if (valid && written.find('<') == std::string_view::npos) return codes;
    DecodeUtf8(WithoutClosingMarkup(written), cut);
    return *cut;
  };
  const SentenceEnd hostEnd = EndOf(sentence(entry.host, hostValid, host, &hostSentence), false);
  const SentenceEnd ownEnd = EndOf(sentence(entry.translation, true, text, &ownSentence), true);
  if (hostEnd != ownEnd) {
    add(hostEnd == SentenceEnd::kNone ? std::string("the translation ends a sentence with ") + Named(ownEnd) +
                                            ", the host text does not"
                                      : std::string("the host text ends a sentence; the translation should end with ") +
                                            Named(hostEnd),
        w::kSentenceEnd);
  }

  // A line may start with a mark where the host text's lines start with it too, in either width
  // ("..." -> "……", "%s ..." -> "……").
  std::u32string hostStarts;
  for (size_t i = 0; i < host.size(); ++i) {
    if (i == 0 || host[i - 1] == '\n') hostStarts += static_cast<char32_t>(PlainMark(host[i]));
  }
  size_t lineNumber = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') ++lineNumber;
    if (text[i] == '\n' || (i > 0 && text[i - 1] != '\n')) continue;
    const uint32_t c = text[i];
    if (MayNotStartLine(c) && !StartsAName(text, i) &&
        hostStarts.find(static_cast<char32_t>(PlainMark(c))) == std::u32string::npos) {
      add((lineNumber == 1 ? std::string("the translation starts") : "line " + std::to_string(lineNumber) + " starts") +
              " with " + EncodeUtf8(c) + ", which no line may start with",
          w::kLineStart);
    }
  }

  std::string doubled;
  for (size_t m = 0; m < kFullWidth.size(); ++m) {
    const uint32_t fullMark = kFullWidth[m], halfMark = kHalfWidth[m];
    if (fullMark == 0xFF08 || fullMark == 0xFF09) continue;  // brackets nest
    // ".." belongs to an ellipsis; only "。。" is a doubled full stop.
    const std::string pair = Doubled(text, fullMark, fullMark == 0x3002 ? fullMark : halfMark);
    if (!pair.empty() && Doubled(host, fullMark, halfMark).empty()) doubled += (doubled.empty() ? "" : " ") + pair;
  }
  if (!doubled.empty()) add("doubled " + doubled + " (the host text has none)", w::kDoubled);
}

}  // namespace vykcn::tool
