#pragma once
// The two lookups: the exported text translation and the in-place swap of the host's subtitle
// pointer with its prefix fallback. Both load the table on first use.
#include <atomic>
#include <mutex>

#include "translation/table_loader.h"
#include "translation/translation_table.h"

namespace vykcn {

class SubtitleTranslator {
 public:
  // `loader` fills `table`; it runs under a lock, at most one at a time.
  SubtitleTranslator(TranslationTable& table, TableLoader& loader) : table_(table), loader_(loader) {}

  // The translation of `text`, or `text` itself when there is none; null for null.
  const char* ReplaceSubtitle(const char* text) noexcept;

  // Stores the translation of *slot into *slot; when the whole text has none and it is longer than
  // 3 bytes, tries it without its last byte, then (on what the slot then holds) without its last
  // two bytes. A null slot or text is left alone.
  void ReplaceSubtitlePointer(const char** slot) noexcept;

 private:
  // Loads the table if it is still empty. True once it holds entries: from then on lookups read
  // it without a lock, since it never changes again.
  bool EnsureLoaded() noexcept;
  bool TryStore(const char** slot, uint32_t hash) const;

  TranslationTable& table_;
  TableLoader& loader_;
  std::atomic<bool> filled_{false};
  std::mutex loadMutex_;
};

}  // namespace vykcn
