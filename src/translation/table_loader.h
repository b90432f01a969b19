#pragma once
// What the lookups call when they find the table empty: in the module, the TranslationLoader. A
// seam for the lookups' tests (subtitle_translator_test), which fills the table from an image in
// memory, and for the toolkit's shown-text checks, which fill it beforehand.
#include "translation/load_status.h"

namespace vykcn {

class TableLoader {
 public:
  virtual ~TableLoader() = default;
  // Fills the table; kLoaded when it did (an image of zero records included). Never throws.
  virtual LoadStatus LoadTranslationTable() noexcept = 0;
};

}  // namespace vykcn
