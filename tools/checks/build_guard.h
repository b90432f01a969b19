#pragma once
// pack-text and pack-font read their files through the checks, so that a build never fails later
// on something `check` would have said, nor succeeds past one of its errors.
#include <string>
#include <vector>

#include "checks/translation_checks.h"

namespace vykcn::tool {

constexpr size_t kBuildWarningLimit = 20;  // a screenful; `check` lists them all

// Which findings a packer prints and refuses on: all of them, or, for pack-font in a build where
// pack-text prints the rest, those about the glyphs alone, so that each is said once.
enum class BuildFindings { kAll, kGlyphsOnly };

// Checks the files and prints the findings on stderr (warnings up to the limit). Throws
// CommandError, after the list, when any is an error.
CheckedTranslations CheckBeforeBuild(const std::vector<std::string>& paths, const CheckOptions& options,
                                     BuildFindings shown = BuildFindings::kAll);

}  // namespace vykcn::tool
