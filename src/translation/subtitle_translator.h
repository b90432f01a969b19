#pragma once
// The two lookups: the exported text translation and the in-place swap of the host's subtitle
// pointer with its prefix fallback. Both load the table on first use.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "translation/table_loader.h"
#include "translation/translation_table.h"

namespace vykcn {

// One lookup of the subtitle site: the bytes it hashed (the start of the host text, or of the
// translation its first fallback pass found), their hash, and the translation found (null: none).
struct SubtitleLookup {
  const char* bytes;
  size_t length;
  uint32_t hash;
  const char* found;
};

// The lookups of one pointer swap, in the order made: the whole text, then, when it has no
// translation and is longer than 3 bytes, the text without its last byte, then what the slot then
// holds without its last two bytes.
struct SubtitleSiteTrace {
  SubtitleLookup lookups[3];
  int count = 0;
};

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

  // The same swap, with each lookup it made written to `trace`: for the toolkit, which tells a
  // fallback that finds another host text from one that only meets its hash. Allocates nothing;
  // the swap above runs the same code without the tracing, and the module, which never calls this
  // one, does not link it (subtitle_trace.cpp).
  void TraceSubtitlePointer(const char** slot, SubtitleSiteTrace* trace) noexcept;

 private:
  // Loads the table if it is still empty. True once it holds entries: from then on lookups read
  // it without a lock, since it never changes again.
  bool EnsureLoaded() noexcept;

  TranslationTable& table_;
  TableLoader& loader_;
  std::atomic<bool> filled_{false};
  std::mutex loadMutex_;
};

}  // namespace vykcn
