#include "win32/module_state.h"

#include <windows.h>

#include "translation/translation_loader.h"
#include "win32/resource_blob.h"

namespace vykcn {
namespace {

class MessageBoxSink final : public MessageSink {
 public:
  void Show(const char* text, const char* caption) override { MessageBoxA(nullptr, text, caption, MB_OK); }
};

// Declaration order is construction order (and the reverse is destruction order): the glyph list
// first, then the translation table, all before the library entry installs the patches.
ModuleImageResources gModuleResources;
GlyphSubstitution gGlyphSubstitution(gModuleResources);
TranslationTable gTranslationTable;
MessageBoxSink gMessageBoxes;
TranslationLoader gTranslationLoader(gModuleResources, gMessageBoxes, gTranslationTable);
SubtitleTranslator gTranslator(gTranslationTable, gTranslationLoader);

}  // namespace

GlyphSubstitution& ModuleGlyphs() { return gGlyphSubstitution; }

SubtitleTranslator& ModuleTranslator() { return gTranslator; }

void ReleaseModuleState() noexcept {
  gGlyphSubstitution.ReleaseGlyphTables();
  gTranslationTable.ReleaseImage();
}

}  // namespace vykcn
