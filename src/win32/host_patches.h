#pragma once
// Rewrites the host's code at its three sites so that the host passes through the module.

namespace vykcn {

// Which sites were patched; a site whose pages are not mapped, whose bytes are not the host's
// expected instructions, or whose protection cannot be changed is left untouched.
struct PatchReport {
  bool glyph = false;
  bool subtitle = false;
  bool dialogue = false;
};

// Called once, at process attach. Pins the module once any site leads into it.
PatchReport InstallHostPatches() noexcept;

}  // namespace vykcn
