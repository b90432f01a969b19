#include "live/live_status.h"

#include <cstdio>

#include "base/utf8.h"
#include "live/live_lookups.h"

namespace vykcn {
namespace {

std::string Line(const char* name, const std::string& value) { return std::string(name) + ": " + value + "\n"; }

std::string CodePoint(uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
  return text;
}

std::string Hash(uint32_t hash) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hash));
  return text;
}

// The code point's UTF-8 bytes (a valid one: DecodeUtf8Char read it).
std::string Utf8(uint32_t code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  const int extra = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
  static const unsigned kLead[] = {0xC0, 0xE0, 0xF0};
  std::string bytes(1, static_cast<char>(kLead[extra - 1] | (code >> (6 * extra))));
  for (int i = extra - 1; i >= 0; --i) bytes += static_cast<char>(0x80 | ((code >> (6 * i)) & 0x3F));
  return bytes;
}

const char* Refusal(LoadStatus status) {
  switch (status) {
    case LoadStatus::kShortResource: return "shorter than its 4-byte size header (empty, or cut short)";
    case LoadStatus::kDecodeFailed: return "truncated or corrupt: its stream does not decode to the size its header states";
    case LoadStatus::kSizeMismatch: return "corrupt: its stream decodes to another size than its header states";
    case LoadStatus::kMalformedImage: return "corrupt: a record runs past the end of its image";
    case LoadStatus::kOutOfMemory: return "out of memory";
    case LoadStatus::kNoResource: return "cannot be read";
    case LoadStatus::kLoaded: break;
  }
  return "loaded";
}

}  // namespace

std::string DescribeReload(const ReloadOutcome& outcome) {
  if (outcome.status != LoadStatus::kLoaded) {
    return std::string("refused: ") + Refusal(outcome.status) + "; the table in use is unchanged";
  }
  if (outcome.overCap) {
    return "refused: its changed texts would pass the memory cap of the texts reloads copy; the table in use is "
           "unchanged, and reloading has stopped: restart the game to load it";
  }
  if (!outcome.published) return "no change: the file holds the translations in use";
  return "loaded: " + std::to_string(outcome.changed) + " changed, " + std::to_string(outcome.added) + " added, " +
         std::to_string(outcome.removed) + " removed, " + std::to_string(outcome.unchanged) + " unchanged";
}

std::string QuoteOnOneLine(std::string_view text, size_t most) {
  std::string quoted = "\"";
  size_t at = 0;
  while (at < text.size() && at < most) {
    const auto byte = static_cast<unsigned char>(text[at]);
    uint32_t code = 0;
    size_t next = at;
    if (byte >= 0x80 && DecodeUtf8Char(text, &next, &code)) {
      quoted.append(text.substr(at, next - at));
      at = next;
      continue;
    }
    if (byte == '"' || byte == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(byte);
    } else if (byte == '\n') {
      quoted += "\\n";
    } else if (byte == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", byte);
      quoted += octal;
    } else {
      quoted += static_cast<char>(byte);
    }
    ++at;
  }
  quoted += '"';
  if (at < text.size()) quoted += "...";
  return quoted;
}

std::string DescribeMissingGlyphs(const MissingGlyphs& missing, const CaptureRecorder* recorder) {
  std::string line = Hash(missing.hash);
  for (uint32_t code : missing.codes) {
    line += " " + CodePoint(code);
    if (code != 0xFFFD) line += " " + Utf8(code);
  }
  line += ": " + QuoteOnOneLine(missing.text);
  for (size_t i = 0; recorder != nullptr && i < recorder->size(); ++i) {
    if (recorder->at(i).hash != missing.hash) continue;
    line += " (host text " + QuoteOnOneLine(recorder->at(i).text()) + ")";
    break;
  }
  return line;
}

std::string FormatLiveStatus(const LiveStatus& status) {
  std::string text =
      "# vykcn-live/status.txt: the test build of vykcn.dll, rewritten after each event (README.md, \"The test "
      "build\")\n";
  text += Line("translations", status.translations);
  text += Line("records", std::to_string(status.records));
  text += Line("loaded", status.loaded);
  text += Line("last reload", status.lastReload.empty() ? "none" : status.lastReload);
  if (!status.lastResult.empty()) text += Line("last reload result", status.lastResult);
  for (const std::string& problem : status.problems) text += Line("problem", problem);
  for (const std::string& missing : status.missingGlyphs) text += Line("missing glyph", missing);
  text += Line("records with missing glyphs", std::to_string(status.missingGlyphRecords));
  text += Line("changed texts", std::to_string(status.storeUsed) + " bytes of a cap of " +
                                    std::to_string(status.storeCap));
  text += Line("replaced indexes not yet freed", std::to_string(status.waitingIndexes));
  text += Line("shown", (status.display & kShowOriginal) != 0 ? "original" : "translation");
  text += Line("hash prefix", (status.display & kShowHashPrefix) != 0 ? "on" : "off");
  text += Line("captured texts", std::to_string(status.capturedTexts));
  text += Line("captured without a translation", std::to_string(status.captured.untranslated));
  text += Line("capture passes dropped", std::to_string(status.capturePassesDropped));
  for (size_t action = 0; action < kKeyActionCount; ++action) {
    text += "key " + std::string(KeyActionName(static_cast<KeyAction>(action))) + ": " +
            DescribeChord(status.keys.chords[action]) + "\n";
  }
  return text;
}

}  // namespace vykcn
