#pragma once
// What the stand-in texture loader was asked, read by the tests through its export
// StandInLoaderCalls.
#include <windows.h>

namespace vykcn::test {

struct StandInLoaderCall {
  void* device;
  HMODULE module;
  LPCSTR resource;  // as passed: an integer identifier or a name pointer
  void* loadInfo;
  void* threadPump;
  void* resultOut;
  HRESULT result;
};

struct StandInLoaderLog {
  int count;
  StandInLoaderCall last;
};

using StandInLoaderCallsFn = const StandInLoaderLog*(WINAPI*)();

}  // namespace vykcn::test
