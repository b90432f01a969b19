// The test build's library entry: the shipped entry's work (dll_main.cpp), with the test build's
// state and thread started before the host is patched, and the capture's file written a last time
// at detach.
#include <windows.h>

#include "win32/host_patches.h"
#include "win32/module_state.h"
#include "win32/test_build_module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      vykcn::StartTestBuild();
      vykcn::InstallHostPatches();
      break;
    case DLL_PROCESS_DETACH:
      vykcn::FinishTestBuild();
      vykcn::ReleaseModuleState();
      break;
    default:  // thread attach and detach, and anything else: no work
      break;
  }
  return TRUE;
}
