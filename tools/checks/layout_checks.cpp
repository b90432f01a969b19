#include "checks/layout_checks.h"

#include <algorithm>

#include "rendering/line_breaking.h"

namespace vykcn::tool {

void MeasureLines(const HostGlyphs& glyphs, const std::string& place, const std::string& text,
                  std::vector<MeasuredLine>* lines) {
  int number = 1;
  for (size_t start = 0; start <= text.size(); ++number) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    lines->push_back({place, number, glyphs.LineWidth(line), line});
    start = end + 1;
  }
}

std::vector<MeasuredLine> WidestLines(std::vector<MeasuredLine> lines, size_t count) {
  std::stable_sort(lines.begin(), lines.end(),
                   [](const MeasuredLine& a, const MeasuredLine& b) { return a.width > b.width; });
  lines.resize(std::min(lines.size(), count));
  return lines;
}

void CheckLayout(const LayoutOptions& options, const HostGlyphs& glyphs, TranslationSet* set,
                 CheckedTranslations* result) {
  const int64_t maxWidth = options.maxWidth > 0 ? options.maxWidth : options.wrapWidth;
  const std::string at = " at 'M' " + std::to_string(options.hostHeight) + " px";
  std::vector<MeasuredLine> lines;
  for (size_t k = 0; k < set->kept.size(); ++k) {
    if (options.wrapWidth > 0) {
      std::string wrapped = WrapText(set->kept[k].entry->translation, glyphs, options.wrapWidth);
      if (wrapped != set->kept[k].entry->translation) set->Rewrite(k, std::move(wrapped));
    }
    const TextEntry& entry = *set->kept[k].entry;
    const int fileIndex = set->kept[k].fileIndex;
    const auto warn = [&](const std::string& message) {
      result->findings.push_back({fileIndex, entry.file, entry.line, Severity::kWarning, message, warning_class::kWidth});
    };
    const size_t first = lines.size();
    MeasureLines(glyphs, Place(entry), entry.translation, &lines);
    const size_t count = lines.size() - first;
    for (size_t i = first; i < lines.size(); ++i) {
      if (maxWidth <= 0 || lines[i].width <= maxWidth) continue;
      warn((count == 1 ? std::string("the line") : "line " + std::to_string(lines[i].line)) + " is " +
           std::to_string(lines[i].width) + " px wide" + at + ", over the limit of " + std::to_string(maxWidth) + " px");
    }
    if (options.maxLines > 0 && count > static_cast<size_t>(options.maxLines)) {
      warn(std::to_string(count) + " lines, over the limit of " + std::to_string(options.maxLines));
    }
  }
  if (lines.empty()) return;
  std::vector<int64_t> widths;
  widths.reserve(lines.size());
  for (const MeasuredLine& line : lines) widths.push_back(line.width);
  const size_t rank = (widths.size() * 99 + 99) / 100 - 1;  // the smallest width that 99% do not exceed
  std::nth_element(widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(rank), widths.end());
  result->widthPercentile99 = widths[rank];
  result->widest = WidestLines(std::move(lines), options.widestCount);
}

}  // namespace vykcn::tool
