#pragma once
// The capture build's process-wide state: the recorder, the lookups that feed it, and the writer of
// vykcn-capture.po in the host executable's folder. Only the capture build links it.
#include "capture/capturing_lookups.h"

namespace vykcn {

// Process attach, before the host is patched: takes the recorder's memory, names the file, starts
// the writer, a low-priority thread that writes the file every few seconds when something new was
// recorded, and pins the module, whose code that thread runs until the process ends.
void StartCapture() noexcept;

// The lookups that record; null when StartCapture could not allocate them (the hooks then call
// the translator alone).
CapturingLookups* ModuleCapture() noexcept;

// Process detach: writes the file a last time, when anything was recorded. A write that the exit
// cut short leaves its lock taken: the last write is then skipped, and the file stays as the last
// finished write left it.
void FinishCapture() noexcept;

}  // namespace vykcn
