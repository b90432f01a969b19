#include "module/module_state.h"

#include <windows.h>

#include "font/glyph_substitution.h"
#include "translation/lzx_stream_decoder.h"
#include "module/resource_blob.h"
#include "translation/subtitle_translator.h"
#include "translation/translation_loader.h"

namespace vykcn {
namespace {

class MessageBoxSink final : public MessageSink {
 public:
  void Show(const char* text, const char* caption) override { MessageBoxA(nullptr, text, caption, MB_OK); }
};

bool LoadTable(void* loader) { return static_cast<TranslationLoader*>(loader)->LoadTranslationTable(); }

// Declaration order is construction order (and the reverse is destruction order): the glyph list
// first, then the translation table, all before the library entry installs the patches.
ModuleImageResources gModuleResources;
GlyphSubstitution gGlyphSubstitution(gModuleResources);
TranslationTable gTranslationTable;
LzxStreamDecoder gStreamDecoder;
MessageBoxSink gMessageBoxes;
TranslationLoader gTranslationLoader(gModuleResources, gStreamDecoder, gMessageBoxes, gTranslationTable);
SubtitleTranslator gTranslator(gTranslationTable, &LoadTable, &gTranslationLoader);

}  // namespace

void ReplaceGlyphTable(GlyphRecord** glyphArraySlot, uint32_t* glyphCountSlot) noexcept {
  gGlyphSubstitution.ReplaceGlyphTable(glyphArraySlot, glyphCountSlot);
}

void ReplaceSubtitlePointer(const char** slot) noexcept { gTranslator.ReplaceSubtitlePointer(slot); }

const char* ReplaceSubtitle(const char* text) noexcept { return gTranslator.ReplaceSubtitle(text); }

void ReleaseModuleState() noexcept {
  gGlyphSubstitution.ReleaseGlyphTables();
  gTranslationLoader.ReleaseImage();
}

}  // namespace vykcn
