#include "checks/glyph_coverage.h"

#include <algorithm>
#include <memory>
#include <set>

#include "base/utf8.h"
#include "common/code_points.h"
#include "common/command_error.h"
#include "common/file_io.h"
#include "font_building/font_chain.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kDelete = 0x7F;           // every table holds it, with the space's metrics
constexpr uint32_t kLargestRecordCode = 0xFFFF;  // a glyph record holds one UTF-16 unit
constexpr uint32_t kLastCodePoint = 0x10FFFF;

// Characters that are drawn: no control characters (tab and line feed lay text out; the others
// are the host's formatting bytes, if anything).
bool IsDrawn(uint32_t c) { return c >= 0x20 && !(c >= 0x7F && c < 0xA0); }

class Coverage {
 public:
  Coverage(const FontChain& font, std::vector<Problem>* findings) : font_(font), findings_(findings) {}

  // Adds the characters of `text` (bytes that are not UTF-8 skipped), reporting at `place`; `of`
  // says whose they are (" of the host text"), or is empty for a translation. Characters that are
  // not `needed` are added when the font has them, and otherwise passed over in silence.
  void AddText(const std::string& text, const Problem& place, const std::string& of, bool needed = true) {
    uint32_t c = 0;
    for (size_t at = 0; at < text.size();) {
      const size_t start = at;
      if (!DecodeUtf8Char(text, &at, &c)) {
        at = start + 1;
        continue;
      }
      if (!IsDrawn(c) || seen_[c]) continue;
      if (!needed) {
        if (c <= kLargestRecordCode && font_.HasGlyph(c)) codes_.insert(c);
        continue;
      }
      seen_[c] = true;
      const std::string named = FormatCodePoint(c) + " " + text.substr(start, at - start) + of;
      if (c > kLargestRecordCode) {
        Report(place, Severity::kWarning, named + ": no glyph record can hold it, so the game cannot draw it",
               warning_class::kGlyph);
      } else if (font_.HasGlyph(c)) {
        codes_.insert(c);
      } else {
        Report(place, Severity::kError, font_.files().Lacking(named));
      }
    }
  }

  void AddIfPresent(uint32_t c) {
    if (font_.HasGlyph(c)) codes_.insert(c);
  }

  GlyphCharset Charset() const {
    GlyphCharset charset;
    charset.codes.assign(codes_.begin(), codes_.end());
    return charset;
  }

  void Require(uint32_t c) {
    seen_[c] = true;
    codes_.insert(c);
  }

 private:
  void Report(const Problem& place, Severity severity, const std::string& message, const char* category = "") {
    Problem finding = place;
    finding.severity = severity;
    finding.message = message;
    finding.category = category;
    findings_->push_back(finding);
  }

  const FontChain& font_;
  std::vector<Problem>* findings_;
  // Each character is reported once, at its first place: a flag per code point, as every
  // character of every text is looked up.
  std::vector<bool> seen_ = std::vector<bool>(kLastCodePoint + 1);
  std::set<uint32_t> codes_;  // the table's characters
};

// The extra file's characters, line by line, for their places.
void AddExtraCharacters(const GlyphSources& sources, Coverage* coverage, std::vector<Problem>* findings) {
  std::string text;
  try {
    const std::vector<uint8_t> bytes = ReadFileBytes(sources.extraCharsPath);
    text.assign(bytes.begin(), bytes.end());
  } catch (const CommandError& e) {
    findings->push_back(e.FoundIn(sources.extraFileIndex, sources.extraCharsPath));
    return;
  }
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  size_t start = 0;
  for (int line = 1; start < text.size(); ++line) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string part = text.substr(start, end - start);
    const Problem place{sources.extraFileIndex, sources.extraCharsPath, line, Severity::kError, ""};
    if (!IsValidUtf8(part)) {
      findings->push_back({place.fileIndex, place.file, line, Severity::kError, "not valid UTF-8"});
    } else {
      coverage->AddText(part, place, "");
    }
    start = end + 1;
  }
}

}  // namespace

GlyphCharset CheckGlyphCoverage(const FontFiles& fonts, const GlyphSources& sources, std::vector<Problem>* findings) {
  std::unique_ptr<FontChain> font;
  try {
    font = std::make_unique<FontChain>(fonts);
  } catch (const CommandError& e) {
    findings->push_back(e.FoundIn(-1, ""));  // the message names the font
    return {};
  }
  Coverage coverage(*font, findings);
  std::string missingAscii;
  size_t missing = 0;
  for (uint32_t c = 0x20; c <= kDelete; ++c) {
    coverage.Require(c);
    if (c != kDelete && !font->HasGlyph(c)) missingAscii += (missing++ == 0 ? "" : " ") + FormatCodePoint(c);
  }
  if (missing > 0) {
    findings->push_back({-1, fonts.main, 0, Severity::kError,
                         fonts.Lacking(std::to_string(missing) + " characters: " + missingAscii,
                                       "every glyph table holds U+0020 to U+007E")});
  }
  for (const GlyphText& text : sources.texts) {
    const Problem place{text.fileIndex, text.entry->file, text.entry->line, Severity::kError, ""};
    if (text.kind == GlyphText::kTranslation) {
      coverage.AddText(text.entry->translation, place, "");
    } else {
      coverage.AddText(text.entry->host, place, " of the host text", text.kind == GlyphText::kDrawnHostText);
    }
  }
  if (!sources.extraCharsPath.empty()) AddExtraCharacters(sources, &coverage, findings);
  for (uint16_t c : LatinExtras()) coverage.AddIfPresent(c);
  return coverage.Charset();
}

}  // namespace vykcn::tool
