#pragma once
// A PE image's resource section, written: the three-level directory (type, name, language), the
// name strings, the data entries and the data, laid out as GNU windres and ld lay them out, so that
// a module's own resources give its own section back byte for byte.
#include <cstdint>
#include <vector>

#include "module_reading/pe_resources.h"

namespace vykcn::tool {

// The section for `resources`, placed at `sectionRva` (the data entries hold RVAs). Resources of
// one type, and of one name within it, must be adjacent, as ReadPeResources gives them; entries
// keep that order (named ones before numbered ones, as the format wants), so resources given in
// the loader's order (sorted) stay findable.
std::vector<uint8_t> WriteResourceSection(const std::vector<PeResource>& resources, uint32_t sectionRva);

}  // namespace vykcn::tool
