// The translation entries the shipped build's hook routines and export call, with C names for the
// assembly (the host's addresses and the glyph entry: hook_shared_entry_points.cpp).
#include "win32/hooks.h"
#include "win32/module_state.h"

extern "C" {

void VykcnReplaceSubtitlePointer(const char** slot) { vykcn::ModuleTranslator().ReplaceSubtitlePointer(slot); }

const char* VykcnReplaceSubtitle(const char* text) { return vykcn::ModuleTranslator().ReplaceSubtitle(text); }

}  // extern "C"
