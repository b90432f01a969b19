#pragma once
// A vykcn module with another set's resources: the glyph table, translations and atlas replaced in
// a built module, everything else (its code, whether it is the shipped or the test build, the
// manifest) kept as it is.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

struct SetResources {
  std::vector<uint8_t> glyphTable;    // resource 101
  std::vector<uint8_t> translations;  // resource 102
  std::vector<uint8_t> atlas;         // resource 103
};

// A copy of the module `image` (read from `path`) whose resources 101, 102 and 103 are `set`'s, in
// the types, names and language they have. Throws CommandError naming the path for a file that is
// no vykcn module: not a sound 64-bit x86 PE DLL, or without one of the module's resources (or
// with it in another type or language).
std::vector<uint8_t> RebuildModule(const std::vector<uint8_t>& image, const std::string& path, const SetResources& set);

}  // namespace vykcn::tool
