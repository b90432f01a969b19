// What the capture build's hook routines call and export, with C names for the assembly: the
// shipped entry points' lookups (hook_entry_points.cpp), each pass then recorded with its site; the
// host's addresses and the glyph entry are the shipped build's (hook_shared_entry_points.cpp).
#include "win32/capture_module.h"
#include "win32/hooks.h"
#include "win32/module_state.h"

extern "C" {

// The dialogue trampoline's call in the capture build (capture_hooks.S), which the export does not share.
const char* VykcnReplaceDialogueText(const char* text);

void VykcnReplaceSubtitlePointer(const char** slot) {
  vykcn::CapturingLookups* capture = vykcn::ModuleCapture();
  if (capture != nullptr) {
    capture->ReplaceSubtitlePointer(slot);
  } else {
    vykcn::ModuleTranslator().ReplaceSubtitlePointer(slot);
  }
}

const char* VykcnReplaceSubtitle(const char* text) {
  vykcn::CapturingLookups* capture = vykcn::ModuleCapture();
  if (capture == nullptr) return vykcn::ModuleTranslator().ReplaceSubtitle(text);
  return capture->ReplaceSubtitle(text, vykcn::CaptureSite::kExport);
}

const char* VykcnReplaceDialogueText(const char* text) {
  vykcn::CapturingLookups* capture = vykcn::ModuleCapture();
  if (capture == nullptr) return vykcn::ModuleTranslator().ReplaceSubtitle(text);
  return capture->ReplaceSubtitle(text, vykcn::CaptureSite::kDialogue);
}

}  // extern "C"
