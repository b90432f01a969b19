#include "win32/test_build_keys.h"

#include <windows.h>

namespace vykcn {
namespace {

bool HostInFront() {
  HWND window = GetForegroundWindow();
  DWORD process = 0;
  return window != nullptr && GetWindowThreadProcessId(window, &process) != 0 && process == GetCurrentProcessId();
}

bool Held(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

}  // namespace

unsigned KeyWatch::Pressed(const KeyBindings& bindings) noexcept {
  const bool front = HostInFront();
  unsigned pressed = 0;
  for (size_t action = 0; action < kKeyActionCount; ++action) {
    const KeyChord& chord = bindings.chords[action];
    const bool down = front && Held(chord.key) && Held(VK_CONTROL) == chord.ctrl && Held(VK_MENU) == chord.alt &&
                      Held(VK_SHIFT) == chord.shift;
    if (down && !down_[action]) pressed |= 1u << action;
    down_[action] = down;
  }
  return pressed;
}

}  // namespace vykcn
