#include "translation/subtitle_translator.h"

#include "translation/subtitle_site.h"

namespace vykcn {

bool SubtitleTranslator::EnsureLoaded() noexcept {
  if (filled_.load(std::memory_order_acquire)) return true;
  try {
    std::lock_guard<std::mutex> lock(loadMutex_);
    if (!filled_.load(std::memory_order_relaxed)) {
      loader_.LoadTranslationTable();
      if (table_.size() != 0) filled_.store(true, std::memory_order_release);
    }
  } catch (...) {
    // The lock could not be taken: behave as an empty table this time.
    return false;
  }
  return filled_.load(std::memory_order_acquire);
}

const char* SubtitleTranslator::ReplaceSubtitle(const char* text) noexcept {
  // The load comes first, so even a null text can start it.
  const bool filled = EnsureLoaded();
  if (text == nullptr) return nullptr;
  if (!filled) return text;  // an empty table has no entries
  const char* translation = table_.lookup(SubtitleHash(text));
  return translation != nullptr ? translation : text;
}

void SubtitleTranslator::ReplaceSubtitlePointer(const char** slot) noexcept {
  const bool filled = EnsureLoaded();
  if (!filled || slot == nullptr || *slot == nullptr) return;
  subtitle_site::SwapSubtitle(table_, slot, [](const SubtitleLookup&) {});
}

}  // namespace vykcn
