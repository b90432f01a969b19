#include "checks/punctuation_checks.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "common/code_points.h"
#include "rendering/line_breaking.h"

namespace vykcn::tool {
namespace {

bool IsHan(uint32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF);
}
bool IsBlank(uint32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0x3000; }

// Half-width marks and the full-width forms Chinese text uses for them.
constexpr std::u32string_view kHalfWidth = U",.?!:;()";
constexpr std::u32string_view kFullWidth = U"，。？！：；（）";

// Quotes and brackets that may close a sentence after its end mark: "“去！”" ends with "！".
constexpr std::u32string_view kClosers = U"\"')]”’」』）》】";

// A full-width mark's half-width form (。 is the full stop); any other character as it is.
uint32_t HalfWidthOf(uint32_t c) {
  const size_t at = kFullWidth.find(static_cast<char32_t>(c));
  if (at != std::u32string_view::npos) return kHalfWidth[at];
  return c == 0xFF05 ? '%' : c == 0xFF0E ? '.' : c;
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
    // Chinese writes the ellipsis twice; English once, or as three full stops.
    return !translation || (n >= 2 && codes[n - 2] == 0x2026) ? SentenceEnd::kEllipsis : SentenceEnd::kNone;
  }
  if (c == '.' && n >= 3 && codes[n - 2] == '.' && codes[n - 3] == '.') {
    return halfAllowed ? SentenceEnd::kEllipsis : SentenceEnd::kNone;
  }
  if (c == 0x3002 || (c == '.' && halfAllowed)) return SentenceEnd::kPeriod;
  if (c == 0xFF1F || (c == '?' && halfAllowed)) return SentenceEnd::kQuestion;
  if (c == 0xFF01 || (c == '!' && halfAllowed)) return SentenceEnd::kExclamation;
  return SentenceEnd::kNone;
}

// The same mark twice in a row, in either width: "！！" or "!!".
bool HasDoubled(const std::vector<uint32_t>& codes, uint32_t full, uint32_t half) {
  for (size_t i = 1; i < codes.size(); ++i) {
    const bool a = codes[i - 1] == full || codes[i - 1] == half, b = codes[i] == full || codes[i] == half;
    if (a && b) return true;
  }
  return false;
}

}  // namespace

void CheckChinesePunctuation(const TextEntry& entry, int fileIndex, std::vector<Finding>* findings) {
  std::vector<uint32_t> text, host;
  if (!DecodeUtf8(entry.translation, &text) || std::none_of(text.begin(), text.end(), IsHan)) return;
  if (!DecodeUtf8(entry.host, &host)) host.clear();
  const auto add = [&](const std::string& message, const char* category) {
    findings->push_back({fileIndex, entry.file, entry.line, Severity::kWarning, message, category});
  };
  namespace w = warning_class;

  // Half-width marks between Chinese characters (blanks after the mark aside).
  std::string half, full;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    const size_t mark = kHalfWidth.find(static_cast<char32_t>(text[i]));
    if (mark == std::u32string_view::npos || !IsHan(text[i - 1])) continue;
    size_t next = i + 1;
    while (next < text.size() && text[next] == ' ') ++next;
    if (next < text.size() && IsHan(text[next]) && half.find(EncodeUtf8(text[i])) == std::string::npos) {
      half += (half.empty() ? "" : " ") + EncodeUtf8(text[i]);
      full += (full.empty() ? "" : " ") + EncodeUtf8(kFullWidth[mark]);
    }
  }
  if (!half.empty()) add("half-width " + half + " between Chinese characters: write " + full, w::kHalfWidth);

  const SentenceEnd hostEnd = EndOf(host, false), ownEnd = EndOf(text, true);
  if (hostEnd != ownEnd) {
    add(hostEnd == SentenceEnd::kNone ? std::string("the translation ends a sentence with ") + Named(ownEnd) +
                                            ", the host text does not"
                                      : std::string("the host text ends a sentence; the translation should end with ") +
                                            Named(hostEnd),
        w::kSentenceEnd);
  }

  // A line may start with a mark where the host text's lines start with it too ("%s ...", "...").
  std::u32string hostStarts;
  for (size_t i = 0; i < host.size(); ++i) {
    if (i == 0 || host[i - 1] == '\n') hostStarts += static_cast<char32_t>(HalfWidthOf(host[i]));
  }
  size_t lineNumber = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') ++lineNumber;
    if (text[i] == '\n' || (i > 0 && text[i - 1] != '\n')) continue;
    const uint32_t c = text[i], next = i + 1 < text.size() ? text[i + 1] : 0;
    // "%s" and ".bashrc" are a placeholder and a name, not a mark.
    const bool startsAName = (c == '%' || c == '.') && next < 0x80 && std::isalnum(static_cast<int>(next));
    if (MayNotStartLine(c) && !startsAName &&
        hostStarts.find(static_cast<char32_t>(HalfWidthOf(c))) == std::u32string::npos) {
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
    const uint32_t translated = fullMark == 0x3002 ? fullMark : halfMark;
    if (HasDoubled(text, fullMark, translated) && !HasDoubled(host, fullMark, halfMark)) {
      doubled += (doubled.empty() ? "" : " ") + EncodeUtf8(fullMark) + EncodeUtf8(fullMark);
    }
  }
  if (!doubled.empty()) add("doubled " + doubled + ", which the host text does not have", w::kDoubled);
}

}  // namespace vykcn::tool
