#pragma once
// Translations laid out as the host draws them: broken into lines of a width on request, then
// every line measured in the host's pixels against the limits.
#include <vector>

#include "checks/finding.h"
#include "checks/translation_checks.h"
#include "rendering/host_glyphs.h"

namespace vykcn::tool {

// Adds the lines of `text` (split at its line feeds) with their widths, as from `place`.
void MeasureLines(const HostGlyphs& glyphs, const std::string& place, const std::string& text,
                  std::vector<MeasuredLine>* lines);

// The `count` widest of `lines`, widest first; lines of equal width keep their order.
std::vector<MeasuredLine> WidestLines(std::vector<MeasuredLine> lines, size_t count);

// Wraps the set's kept translations (options.wrapWidth, before its image is written), then adds a [width] warning for each line wider
// than options.maxWidth (or the wrap width) and each translation of more than options.maxLines
// lines, and fills the widest lines and the 99th percentile of the widths.
void CheckLayout(const LayoutOptions& options, const HostGlyphs& glyphs, TranslationSet* set,
                 CheckedTranslations* result);

}  // namespace vykcn::tool
