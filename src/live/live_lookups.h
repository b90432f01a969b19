#pragma once
// The test build's lookups, which its hook entry points and export call: the shipped build's rules
// (the subtitle site's swap of subtitle_site.h, a whole-text lookup at the dialogue site and the
// export) over the live index that the call took once, each pass recorded by the capture with how
// its site answered it, and what the host is handed chosen by the keys' display flags.
#include <atomic>
#include <cstddef>

#include "capture/capture_recorder.h"
#include "live/live_translations.h"
#include "live/prefixed_texts.h"
#include "translation/subtitle_translator.h"

namespace vykcn {

// What the host is shown, toggled by the keys (README.md, "The test build").
enum DisplayFlag : unsigned {
  kShowOriginal = 1,    // the host's own text at every site, translated or not
  kShowHashPrefix = 2,  // each line after "[0x1A2B3C4D] ": the hash that matched ("~" for a fallback),
                        // or the line's own hash when none did
};

// How the subtitle site answered a swap whose lookups `trace` lists.
LookupAnswer SubtitleSiteAnswer(const SubtitleSiteTrace& trace);

// The subtitle site's swap of *slot (not null) over `index`, each lookup written to the trace.
void TraceSubtitleSwap(const LiveIndex& index, const char** slot, SubtitleSiteTrace* trace);

// After a reload: every recorded text's answer at each site that passed it, asked again of `index`.
// The build's thread's; allocates (a terminated copy of each text), so it may throw.
void ReanswerCapture(const LiveIndex& index, CaptureRecorder& recorder);

class LiveLookups {
 public:
  // `recorder` and `prefixed` may be null: nothing recorded, no prefix.
  LiveLookups(LiveTranslations& translations, CaptureRecorder* recorder, PrefixedTexts* prefixed)
      : translations_(translations), recorder_(recorder), prefixed_(prefixed) {}

  // The dialogue site and the export: the translation of `text`, or `text`; null for null.
  const char* ReplaceSubtitle(const char* text, CaptureSite site) noexcept;

  // The subtitle site: the swap of *slot with its fallback. A null slot or text is left alone, and so
  // is a hash-prefixed line that an earlier pass put there.
  void ReplaceSubtitlePointer(const char** slot) noexcept;

  unsigned display() const { return display_.load(std::memory_order_relaxed); }
  void ToggleDisplay(unsigned flag) noexcept { display_.fetch_xor(flag, std::memory_order_relaxed); }

 private:
  // What the host gets for `text`: `translated` (the site's answer), or the text itself, with or
  // without the prefix of `matched` (the lookup whose translation the site took, a fallback's or
  // not; null: none) or of `ownHash`, the text's own.
  const char* Shown(const char* text, const char* translated, const SubtitleLookup* matched, bool fallback,
                    uint32_t ownHash) noexcept;
  void Record(const char* text, size_t length, CaptureSite site, LookupAnswer answer) noexcept;

  LiveTranslations& translations_;
  CaptureRecorder* recorder_;
  PrefixedTexts* prefixed_;
  std::atomic<unsigned> display_{0};
};

}  // namespace vykcn
