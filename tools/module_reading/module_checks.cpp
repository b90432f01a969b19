#include "module_reading/module_checks.h"

#include <cmath>
#include <map>
#include <regex>

#include "base/utf8.h"
#include "common/code_points.h"
#include "formats/dds_atlas.h"

namespace vykcn::tool {
namespace {

constexpr size_t kListedAtMost = 40;  // longer lists are cut, with the total given

std::string ListCodes(const std::set<uint32_t>& codes) {
  std::string list;
  size_t shown = 0;
  for (uint32_t c : codes) {
    if (shown++ == kListedAtMost) {
      list += " ...";
      break;
    }
    list += " " + FormatCodePoint(c);
  }
  return list;
}

bool IsWhole(float value) { return std::isfinite(value) && value == std::floor(value); }

std::string RectangleProblem(const GlyphRecord& r, AtlasSize atlas) {
  const float atlasWidth = float(atlas.width), atlasHeight = float(atlas.height);
  const float left = r.uLeft * atlasWidth, right = r.uRight * atlasWidth;
  const float top = r.vTop * atlasHeight, bottom = r.vBottom * atlasHeight;
  if (!IsWhole(left) || !IsWhole(right) || !IsWhole(top) || !IsWhole(bottom)) return "does not lie on whole texels";
  if (!(r.uLeft < r.uRight) || !(r.vTop < r.vBottom)) return "is empty or inverted";
  if (left < 0 || top < 0 || right > atlasWidth || bottom > atlasHeight) return "reaches outside the atlas";
  if ((r.uRight - r.uLeft) * atlasWidth != float(r.width) || (r.vBottom - r.vTop) * atlasHeight != float(r.height)) {
    return "is " + std::to_string(int(right - left)) + " x " + std::to_string(int(bottom - top)) +
           " texels but the record says " + std::to_string(r.width) + " x " + std::to_string(r.height);
  }
  return "";
}

}  // namespace

std::vector<std::string> CheckGlyphTable(const std::vector<uint8_t>& bytes, const std::vector<GlyphRecord>& records,
                                         AtlasSize atlas) {
  std::vector<std::string> problems;
  if (bytes.size() % kGlyphRecordSize != 0) {
    problems.push_back("glyph table: " + std::to_string(bytes.size()) + " bytes is not a whole number of 24-byte records");
  }
  if (records.empty()) problems.push_back("glyph table: no records");
  size_t rectangleProblems = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    const GlyphRecord& r = records[i];
    if (i > 0 && records[i - 1].code >= r.code) {
      problems.push_back("glyph table: codes not strictly ascending at record " + std::to_string(i) + " (" +
                         FormatCodePoint(r.code) + ")");
    }
    const std::string rectangle = RectangleProblem(r, atlas);
    if (!rectangle.empty() && rectangleProblems++ < kListedAtMost) {
      problems.push_back("glyph " + FormatCodePoint(r.code) + ": atlas rectangle " + rectangle);
    }
  }
  if (rectangleProblems > kListedAtMost) {
    problems.push_back("glyph table: " + std::to_string(rectangleProblems) + " rectangle problems in all");
  }
  GlyphRecord reference;
  if (!FindReferenceGlyph(records, &reference) || reference.height == 0) {
    problems.push_back("glyph table: no 'M' (U+004D) with a height, so the host's font size cannot be matched");
  }
  return problems;
}

std::vector<std::string> CheckTranslationCoverage(const ModuleTranslations& translations,
                                                  const std::vector<GlyphRecord>& records) {
  std::set<uint32_t> have;
  for (const GlyphRecord& r : records) have.insert(r.code);
  std::set<uint32_t> missing;
  std::map<uint32_t, size_t> firstUse;  // character -> record index, to point at an example
  size_t malformed = 0;
  std::vector<uint32_t> codePoints;
  for (size_t i = 0; i < translations.records.size(); ++i) {
    if (!DecodeUtf8(translations.records[i].second, &codePoints)) {
      ++malformed;
      continue;
    }
    for (uint32_t c : codePoints) {
      if (c == 0x09 || c == 0x0A || have.count(c)) continue;
      if (missing.insert(c).second) firstUse[c] = i;
    }
  }
  std::vector<std::string> problems;
  if (malformed != 0) problems.push_back("translations: " + std::to_string(malformed) + " texts are not valid UTF-8");
  if (!missing.empty()) {
    const auto& example = translations.records[firstUse.begin()->second];
    char hash[16];
    std::snprintf(hash, sizeof hash, "0x%08X", static_cast<unsigned>(example.first));
    problems.push_back("glyph table lacks " + std::to_string(missing.size()) +
                       " characters used by the translations:" + ListCodes(missing) + " (" +
                       FormatCodePoint(firstUse.begin()->first) + " first in the translation of hash " + hash + ")");
  }
  return problems;
}

std::vector<std::string> CheckManifest(const std::vector<uint8_t>& manifest) {
  const std::string text(manifest.begin(), manifest.end());
  std::vector<std::string> problems;
  if (!std::regex_search(text, std::regex(R"(level\s*=\s*["']asInvoker["'])"))) {
    problems.push_back("manifest: no requested execution level \"asInvoker\"");
  }
  if (!std::regex_search(text, std::regex(R"(uiAccess\s*=\s*["']false["'])"))) {
    problems.push_back("manifest: uiAccess is not \"false\"");
  }
  return problems;
}

}  // namespace vykcn::tool
