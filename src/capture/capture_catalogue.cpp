#include "capture/capture_catalogue.h"

#include <cstdint>
#include <cstring>

#include "formats/po_string.h"

namespace vykcn {
namespace {

constexpr CaptureSite kSites[] = {CaptureSite::kSubtitle, CaptureSite::kDialogue, CaptureSite::kExport};
constexpr const char* kSiteNames[] = {"subtitle site", "dialogue site", "export"};

class Writer {
 public:
  explicit Writer(CatalogueOutput& out) : out_(out) {}
  Writer& operator<<(const char* text) {
    out_.Append(text, std::strlen(text));
    return *this;
  }
  Writer& operator<<(uint64_t n) {
    char digits[20];
    size_t at = sizeof digits;
    do {
      digits[--at] = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n != 0);
    out_.Append(digits + at, sizeof digits - at);
    return *this;
  }
  // Escaped as the catalogue escapes a msgid: what a reader could not see in octal, a line a line.
  void PoString(std::string_view text) { WritePoString(text, kCapturePoStyle, out_); }

 private:
  CatalogueOutput& out_;
};

// The quoted strings of `text` after `msgid `: one, or "" and one a line after each inner line feed.
void WriteMsgid(Writer& w, std::string_view text) {
  const size_t feed = text.find('\n');
  const bool split = feed != std::string_view::npos && feed + 1 < text.size();
  w << (split ? "msgid \"\"\n\"" : "msgid \"");
  w.PoString(text);
  w << "\"\n";
}

const char* Shown(LookupAnswer answer) {
  switch (answer) {
    case LookupAnswer::kWithoutLast: return "shown the translation of the text without its last byte";
    case LookupAnswer::kWithoutLastReplaced:
      return "shown the translation of the text without its last byte, replaced by the second pass";
    case LookupAnswer::kWithoutLastTwo: return "shown the translation of the text without its last two bytes";
    default: return "shown untranslated";
  }
}

bool Seen(const CapturedText& text) {
  for (CaptureSite site : kSites) {
    if (text.PassesAt(site) != 0) return true;
  }
  return false;
}

bool Translated(const CapturedText& text) {
  for (CaptureSite site : kSites) {
    if (text.AnswerAt(site) == LookupAnswer::kOwn) return true;
  }
  return false;
}

}  // namespace

CaptureCounts CountCaptured(const CaptureRecorder& recorder) {
  CaptureCounts counts;
  for (size_t i = 0; i < recorder.size(); ++i) {
    const CapturedText& text = recorder.at(i);
    if (!Seen(text)) continue;
    if (text.length == 0) {
      for (CaptureSite site : kSites) counts.emptyPasses += text.PassesAt(site);
    } else if (Translated(text)) {
      ++counts.translated;
    } else {
      ++counts.untranslated;
    }
  }
  return counts;
}

void WriteCaptureCatalogue(const CaptureRecorder& recorder, CatalogueOutput& out) {
  const size_t count = recorder.size();
  const CaptureCounts counts = CountCaptured(recorder);

  Writer w(out);
  w << "# " << kCaptureCatalogueName
    << ", written by the test build of vykcn.dll: the texts that reached its lookups\n"
       "# in this run of the game and found no translation of their own, in the order first seen. Each\n"
       "# entry's comments name the sites that passed it, how many times, and what the host was shown.\n"
    << "# Texts without a translation of their own (below): " << counts.untranslated
    << "; translated: " << counts.translated << "; passes of the empty text: " << counts.emptyPasses << ".\n"
    << "# Passes not recorded: " << recorder.droppedPasses() << " (limits: "
    << static_cast<uint64_t>(recorder.limits().texts) << " distinct texts, "
    << static_cast<uint64_t>(recorder.limits().bytes) << " bytes).\n"
    << "msgid \"\"\n"
       "msgstr \"\"\n"
       "\"Project-Id-Version: \\n\"\n"
       "\"PO-Revision-Date: \\n\"\n"
       "\"Last-Translator: \\n\"\n"
       "\"Language-Team: \\n\"\n"
       "\"Language: zh_CN\\n\"\n"
       "\"MIME-Version: 1.0\\n\"\n"
       "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
       "\"Content-Transfer-Encoding: 8bit\\n\"\n";

  for (size_t i = 0; i < count; ++i) {
    const CapturedText& text = recorder.at(i);
    if (text.length == 0 || !Seen(text) || Translated(text)) continue;
    w << "\n";
    for (size_t s = 0; s < kCaptureSiteCount; ++s) {
      const uint32_t passes = text.PassesAt(kSites[s]);
      if (passes == 0) continue;
      w << "#. " << kSiteNames[s] << ": " << static_cast<uint64_t>(passes) << (passes == 1 ? " pass; " : " passes; ")
        << Shown(text.AnswerAt(kSites[s])) << "\n";
    }
    WriteMsgid(w, text.text());
    w << "msgstr \"\"\n";
  }
}

}  // namespace vykcn
