#pragma once
// vykcn-live/status.txt, which the test build's thread rewrites after each event: one `name: value`
// a line, names as README.md ("The test build") lists them. Made here from what the thread knows;
// the thread writes it through a temporary file and a rename.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "capture/capture_catalogue.h"
#include "live/glyph_set.h"
#include "live/key_bindings.h"
#include "live/live_translations.h"

namespace vykcn {

constexpr const char* kLiveFolderName = "vykcn-live";
constexpr const char* kLiveTranslationsName = "vykcn-live/translations.bin";
constexpr size_t kMissingGlyphsListed = 50;  // records named; the rest are counted

struct LiveStatus {
  std::string translations;  // kLiveTranslationsName, or "embedded": the table in use
  size_t records = 0;
  std::string loaded;        // when the table in use was loaded
  std::string lastReload;    // "TIME (WHY)", or empty: none yet
  std::string lastResult;    // DescribeReload's
  std::vector<std::string> problems;
  std::vector<std::string> missingGlyphs;  // DescribeMissingGlyphs's, at most kMissingGlyphsListed
  size_t missingGlyphRecords = 0;
  size_t storeUsed = 0, storeCap = 0, waitingIndexes = 0;
  unsigned display = 0;  // DisplayFlag
  size_t capturedTexts = 0;
  CaptureCounts captured;
  uint64_t capturePassesDropped = 0;
  KeyBindings keys;
};

std::string FormatLiveStatus(const LiveStatus& status);

// A reload's result in one line: "loaded: ...", "no change: ...", or "refused: ...".
std::string DescribeReload(const ReloadOutcome& outcome);

// `text` quoted on one line: line feeds and other control bytes escaped as C writes them, cut at
// `most` bytes (at a character's start) with "..." after the quote.
std::string QuoteOnOneLine(std::string_view text, size_t most = 120);

// One record of FindMissingGlyphs: its hash, the characters, the translation, and the host text
// when the capture saw a text of that hash.
std::string DescribeMissingGlyphs(const MissingGlyphs& missing, const CaptureRecorder* recorder);

}  // namespace vykcn
