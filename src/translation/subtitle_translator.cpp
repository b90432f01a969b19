#include "translation/subtitle_translator.h"

#include <cstring>

#include "translation/subtitle_hash.h"

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

bool SubtitleTranslator::TryStore(const char** slot, uint32_t hash) const {
  const char* translation = table_.lookup(hash);
  if (translation == nullptr) return false;
  *slot = translation;
  return true;
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
  const char* text = *slot;
  const size_t length = std::strlen(text);
  if (length <= 3) {
    TryStore(slot, SubtitleHashBytes(text, length));
    return;
  }
  // The whole text and the two shorter forms in one pass: the hash of a prefix runs on into the
  // hash of the longer one.
  const uint32_t withoutLastTwo = SubtitleHashBytes(text, length - 2);
  const uint32_t withoutLast = SubtitleHashStep(withoutLastTwo, text[length - 2]);
  if (TryStore(slot, SubtitleHashStep(withoutLast, text[length - 1]))) return;

  // Two fallback passes; the second works on whatever the first left in the slot, and a hit in
  // the first does not end the fallback.
  if (!TryStore(slot, withoutLast)) {
    TryStore(slot, withoutLastTwo);
    return;
  }
  const char* translation = *slot;
  const size_t translated = std::strlen(translation);
  TryStore(slot, SubtitleHashBytes(translation, translated > 2 ? translated - 2 : translated));
}

}  // namespace vykcn
