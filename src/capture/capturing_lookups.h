#pragma once
// The capture build's lookups: the module's own, through the same SubtitleTranslator, with each
// pass then recorded with its site and answer. The shipped module calls the translator directly.
#include <cstddef>

#include "capture/capture_recorder.h"
#include "translation/subtitle_translator.h"

namespace vykcn {

// How the subtitle site answered `text` (`length` bytes) when it left `shown` in the host's slot,
// told by asking the translator for the text and the text without its last byte. Only to be asked
// after the site's own lookup: a translation in `shown` means the table is filled, so the
// questions load nothing.
LookupAnswer SubtitleSiteAnswer(SubtitleTranslator& translator, const char* text, size_t length,
                                const char* shown) noexcept;

class CapturingLookups {
 public:
  CapturingLookups(SubtitleTranslator& translator, CaptureRecorder& recorder)
      : translator_(translator), recorder_(recorder) {}

  // SubtitleTranslator::ReplaceSubtitle, then a pass of `text` at `site` (the dialogue site or the
  // export). A null text is not recorded.
  const char* ReplaceSubtitle(const char* text, CaptureSite site) noexcept;

  // SubtitleTranslator::ReplaceSubtitlePointer, then a pass of the slot's text at the subtitle site.
  void ReplaceSubtitlePointer(const char** slot) noexcept;

 private:
  SubtitleTranslator& translator_;
  CaptureRecorder& recorder_;
};

}  // namespace vykcn
