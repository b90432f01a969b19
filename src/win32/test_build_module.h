#pragma once
// The test build's process-wide state: the live translations and the lookups over them, the
// capture's recorder, and the build's own thread, which reloads vykcn-live/translations.bin when a
// new version is in place, reads the keys, and writes vykcn-live/status.txt and vykcn-capture.po
// beside the host executable. Only the test build links it.
#include "live/live_lookups.h"

namespace vykcn {

// Process attach, before the host is patched: takes the state's memory, loads the module's own
// translations and then the live file, if there is one (so the first lookup serves it), pins the
// module, whose code the thread runs until the process ends, and starts the thread.
void StartTestBuild() noexcept;

// The lookups the hook entry points call; null when StartTestBuild could not allocate them (the hooks
// then call the shipped translator).
LiveLookups* TestBuildLookups() noexcept;

// Process detach: writes vykcn-capture.po a last time, when anything was recorded. A write that the
// exit cut short leaves its flag taken: the last write is then skipped, and the file stays as the
// last finished write left it.
void FinishTestBuild() noexcept;

}  // namespace vykcn
