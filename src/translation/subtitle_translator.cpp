#include "translation/subtitle_translator.h"

#include <cstring>

#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

// Looks `length` bytes up, and stores the translation found in the slot. `observe` sees each lookup;
// the shipped swap's observer does nothing and compiles away.
template <typename Observe>
bool TryStore(const TranslationTable& table, const char** slot, const char* bytes, size_t length, uint32_t hash,
              Observe& observe) {
  const char* translation = table.lookup(hash);
  observe(SubtitleLookup{bytes, length, hash, translation});
  if (translation == nullptr) return false;
  *slot = translation;
  return true;
}

// The subtitle site's swap of a text (the slot's, not null) with its prefix fallback.
template <typename Observe>
void SwapSubtitle(const TranslationTable& table, const char** slot, Observe observe) {
  const char* text = *slot;
  const size_t length = std::strlen(text);
  if (length <= 3) {
    TryStore(table, slot, text, length, SubtitleHashBytes(text, length), observe);
    return;
  }
  // The whole text and the two shorter forms in one pass: the hash of a prefix runs on into the
  // hash of the longer one.
  const uint32_t withoutLastTwo = SubtitleHashBytes(text, length - 2);
  const uint32_t withoutLast = SubtitleHashStep(withoutLastTwo, text[length - 2]);
  if (TryStore(table, slot, text, length, SubtitleHashStep(withoutLast, text[length - 1]), observe)) return;

  // Two fallback passes; the second works on whatever the first left in the slot, and a hit in
  // the first does not end the fallback.
  if (!TryStore(table, slot, text, length - 1, withoutLast, observe)) {
    TryStore(table, slot, text, length - 2, withoutLastTwo, observe);
    return;
  }
  const char* translation = *slot;
  const size_t translated = std::strlen(translation);
  const size_t kept = translated > 2 ? translated - 2 : translated;
  TryStore(table, slot, translation, kept, SubtitleHashBytes(translation, kept), observe);
}

}  // namespace

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
  SwapSubtitle(table_, slot, [](const SubtitleLookup&) {});
}

void SubtitleTranslator::TraceSubtitlePointer(const char** slot, SubtitleSiteTrace* trace) noexcept {
  trace->count = 0;
  const bool filled = EnsureLoaded();
  if (!filled || slot == nullptr || *slot == nullptr) return;
  SwapSubtitle(table_, slot, [trace](const SubtitleLookup& lookup) { trace->lookups[trace->count++] = lookup; });
}

}  // namespace vykcn
