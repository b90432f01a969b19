#pragma once
// One side of `diff`: the records the module would hold, read from a built module, a translation
// resource, or a set of translators' files built as pack-text builds it; and, of a module, its
// glyph table and atlas.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "font_building/atlas_file.h"
#include "module_reading/translation_records.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

// A module's font: its glyph table (resource 101) and decoded atlas (resource 103).
struct ComparedFont {
  std::vector<GlyphRecord> glyphs;
  AtlasImage atlas;
};

struct ComparedImage {
  std::string path;
  std::string kind;                        // "a module", "a translation resource", "translators' files"
  std::vector<TranslationRecord> records;  // one per hash, the one the module keeps (the last), in image order
  std::vector<const TextEntry*> hostTexts; // a set's entries that made the image (in `set`); none for a module or resource
  std::shared_ptr<const TranslationSet> set;  // a set's, which holds those entries
  std::optional<ComparedFont> font;        // a module's; none for a resource or a set
};

// A folder is the set of its translators' files as the build takes them (TranslatorsFiles); a .po
// or .csv file is a set of one; any other file is a module or a resource.
// A set goes through the checks that pack-text runs, with `options` (its wrapping among them):
// their errors are printed on stderr and the set is refused. Throws CommandError naming the path
// for anything that cannot be read or built, a module's missing glyph table or atlas included.
// Translators' files already in `cache` (the other side's) are not read or checked again.
ComparedImage ReadComparedImage(const std::string& path, const CheckOptions& options, FileCheckCache* cache);

}  // namespace vykcn::tool
