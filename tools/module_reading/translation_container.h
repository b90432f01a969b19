#pragma once
// The translation resource (formats/translation_resource.h) with the toolkit's error reporting.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/translation_resource.h"

namespace vykcn::tool {

// Decodes a resource with the module's decoder. Throws CommandError naming `what` when it is
// shorter than its header, fails to decode, or decodes to a size other than the stored one.
std::vector<uint8_t> UnpackTranslationResource(const std::vector<uint8_t>& resource, const std::string& what);

// The resource's two parts without decoding. Throws CommandError naming `what` when it is shorter
// than its 4-byte header.
TranslationResourceParts SplitTranslationResource(const std::vector<uint8_t>& resource, const std::string& what);

}  // namespace vykcn::tool
