// The traced swap, in a file of its own: the toolkit links it, the module (which never calls it)
// does not.
#include "translation/subtitle_site.h"

namespace vykcn {

void SubtitleTranslator::TraceSubtitlePointer(const char** slot, SubtitleSiteTrace* trace) noexcept {
  trace->count = 0;
  const bool filled = EnsureLoaded();
  if (!filled || slot == nullptr || *slot == nullptr) return;
  subtitle_site::SwapSubtitle(table_, slot,
                              [trace](const SubtitleLookup& lookup) { trace->lookups[trace->count++] = lookup; });
}

}  // namespace vykcn
