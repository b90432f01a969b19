#pragma once
// What the lookups call when they find the table empty.
namespace vykcn {

class TableLoader {
 public:
  virtual ~TableLoader() = default;
  // Fills the table; true when it did (an image of zero records included). Never throws.
  virtual bool LoadTranslationTable() noexcept = 0;
};

}  // namespace vykcn
