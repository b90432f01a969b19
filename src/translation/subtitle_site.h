#pragma once
// The subtitle site's swap of the host's pointer with its prefix fallback, written once for the
// shipped swap, the traced one (subtitle_trace.cpp, which the module never links) and the test
// build's (src/live), which runs it over the table a lookup call took. `Table` is anything with
// `const char* lookup(uint32_t hash) const`.
#include <cstring>

#include "translation/subtitle_hash.h"
#include "translation/subtitle_translator.h"

namespace vykcn::subtitle_site {

// Looks `length` bytes up, and stores the translation found in the slot. `observe` sees each lookup;
// the shipped swap's observer does nothing and compiles away.
template <typename Table, typename Observe>
bool TryStore(const Table& table, const char** slot, const char* bytes, size_t length, uint32_t hash,
              Observe& observe) {
  const char* translation = table.lookup(hash);
  observe(SubtitleLookup{bytes, length, hash, translation});
  if (translation == nullptr) return false;
  *slot = translation;
  return true;
}

// The subtitle site's swap of a text (the slot's, not null) with its prefix fallback.
template <typename Table, typename Observe>
void SwapSubtitle(const Table& table, const char** slot, Observe observe) {
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

}  // namespace vykcn::subtitle_site
