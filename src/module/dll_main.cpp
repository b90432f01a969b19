// The library entry: the first and last of the module's code to run in the host.
#include <windows.h>

#include "module/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_DETACH) {
    vykcn::ReleaseGlyphTables();
  }
  return TRUE;
}
