// The capture build's library entry: the shipped entry's work (dll_main.cpp), with the capture
// started before the host is patched and its file written a last time at detach.
#include <windows.h>

#include "win32/capture_module.h"
#include "win32/host_patches.h"
#include "win32/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      vykcn::StartCapture();
      vykcn::InstallHostPatches();
      break;
    case DLL_PROCESS_DETACH:
      vykcn::FinishCapture();
      vykcn::ReleaseModuleState();
      break;
    default:  // thread attach and detach, and anything else: no work
      break;
  }
  return TRUE;
}
