#pragma once
// The subtitle site's swap of the host's pointer with its prefix fallback, for the shipped swap and
// the traced one (subtitle_trace.cpp, which the module never links), and below, over any table, for
// the test build's live lookups (src/live). Included by those three files alone.
#include <cstring>

#include "translation/subtitle_hash.h"
#include "translation/subtitle_translator.h"
#include "translation/translation_table.h"

namespace vykcn::subtitle_site {

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

// The same swap over any table with `const char* lookup(uint32_t hash) const`: the test build's live
// index. A copy of the two templates above rather than their generalization, because the shipped
// module's debug information names the templates it instantiates, with their arguments, and the
// module carries that file's checksum (.gnu_debuglink): a Table argument there would change the
// shipped module's bytes. live_lookups_test holds the copy to the shipped translator's answers.
template <typename Table, typename Observe>
bool TryStoreIn(const Table& table, const char** slot, const char* bytes, size_t length, uint32_t hash,
                Observe& observe) {
  const char* translation = table.lookup(hash);
  observe(SubtitleLookup{bytes, length, hash, translation});
  if (translation == nullptr) return false;
  *slot = translation;
  return true;
}

template <typename Table, typename Observe>
void SwapSubtitleIn(const Table& table, const char** slot, Observe observe) {
  const char* text = *slot;
  const size_t length = std::strlen(text);
  if (length <= 3) {
    TryStoreIn(table, slot, text, length, SubtitleHashBytes(text, length), observe);
    return;
  }
  const uint32_t withoutLastTwo = SubtitleHashBytes(text, length - 2);
  const uint32_t withoutLast = SubtitleHashStep(withoutLastTwo, text[length - 2]);
  if (TryStoreIn(table, slot, text, length, SubtitleHashStep(withoutLast, text[length - 1]), observe)) return;
  if (!TryStoreIn(table, slot, text, length - 1, withoutLast, observe)) {
    TryStoreIn(table, slot, text, length - 2, withoutLastTwo, observe);
    return;
  }
  const char* translation = *slot;
  const size_t translated = std::strlen(translation);
  const size_t kept = translated > 2 ? translated - 2 : translated;
  TryStoreIn(table, slot, translation, kept, SubtitleHashBytes(translation, kept), observe);
}

}  // namespace vykcn::subtitle_site
