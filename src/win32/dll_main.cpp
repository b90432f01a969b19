// The library entry: the first and last of the module's code to run in the host.
#include <windows.h>

#include "win32/host_patches.h"
#include "win32/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      vykcn::InstallHostPatches();
      break;
    case DLL_PROCESS_DETACH:
      vykcn::ReleaseModuleState();
      break;
    default:  // thread attach and detach, and anything else: no work
      break;
  }
  return TRUE;
}
