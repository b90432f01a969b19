#include "capture/capture_catalogue.h"

#include <cstdint>
#include <cstring>

#include "base/utf8.h"

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
  void Bytes(const char* data, size_t size) { out_.Append(data, size); }

 private:
  CatalogueOutput& out_;
};

// Characters a reader may not see for what they are: C1 controls, the line and paragraph
// separators, the byte order mark.
bool Invisible(uint32_t c) { return (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029 || c == 0xFEFF; }

// The quoted strings of `text` after `msgid `: one, or "" and one a line after each inner line feed.
void WriteMsgid(Writer& w, std::string_view text) {
  const size_t feed = text.find('\n');
  const bool split = feed != std::string_view::npos && feed + 1 < text.size();
  w << (split ? "msgid \"\"\n\"" : "msgid \"");
  for (size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const size_t start = at;
    uint32_t code = 0;
    if (byte == '\n') {
      w << (at + 1 < text.size() ? "\\n\"\n\"" : "\\n");
    } else if (byte == '\t') {
      w << "\\t";
    } else if (byte == '"' || byte == '\\') {
      const char escaped[] = {'\\', static_cast<char>(byte)};
      w.Bytes(escaped, 2);
    } else if (byte >= 0x20 && byte < 0x7F) {
      w.Bytes(text.data() + at, 1);
    } else if (byte >= 0x80 && DecodeUtf8Char(text, &at, &code) && !Invisible(code)) {
      w.Bytes(text.data() + start, at - start);
      continue;
    } else {
      // One byte at a time: a character made of several is escaped byte by byte.
      const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
                            static_cast<char>('0' + (byte & 7))};
      w.Bytes(octal, sizeof octal);
    }
    at = start + 1;
  }
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
