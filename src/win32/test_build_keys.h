#pragma once
// The test build's keys, read on its own thread (never in a hook): a chord counts when its key goes
// down with exactly its modifiers held while a window of the host process is in front (Windows).
#include "live/key_bindings.h"

namespace vykcn {

class KeyWatch {
 public:
  // The actions whose chord went down since the last call, one bit each (1 << KeyAction).
  unsigned Pressed(const KeyBindings& bindings) noexcept;

 private:
  bool down_[kKeyActionCount] = {};
};

}  // namespace vykcn
