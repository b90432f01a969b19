// What the test build's hook routines call and export, with C names for the assembly: the live
// lookups, which record each pass with its site; the host's addresses and the glyph entry are the
// shipped build's (hook_shared_entry_points.cpp).
#include "win32/hooks.h"
#include "win32/module_state.h"
#include "win32/test_build_module.h"

extern "C" {

// The dialogue trampoline's call in the test build (test_build_hooks.S), which the export does not share.
const char* VykcnReplaceDialogueText(const char* text);

void VykcnReplaceSubtitlePointer(const char** slot) {
  vykcn::LiveLookups* lookups = vykcn::TestBuildLookups();
  if (lookups != nullptr) {
    lookups->ReplaceSubtitlePointer(slot);
  } else {
    vykcn::ModuleTranslator().ReplaceSubtitlePointer(slot);
  }
}

const char* VykcnReplaceSubtitle(const char* text) {
  vykcn::LiveLookups* lookups = vykcn::TestBuildLookups();
  if (lookups == nullptr) return vykcn::ModuleTranslator().ReplaceSubtitle(text);
  return lookups->ReplaceSubtitle(text, vykcn::CaptureSite::kExport);
}

const char* VykcnReplaceDialogueText(const char* text) {
  vykcn::LiveLookups* lookups = vykcn::TestBuildLookups();
  if (lookups == nullptr) return vykcn::ModuleTranslator().ReplaceSubtitle(text);
  return lookups->ReplaceSubtitle(text, vykcn::CaptureSite::kDialogue);
}

}  // extern "C"
