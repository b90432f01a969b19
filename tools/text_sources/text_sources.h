#pragma once
// Translators' files of either kind, told by the extension.
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Reads .po and .csv files in order. Throws CommandError for other extensions, unreadable or
// malformed files, and files without any entry.
std::vector<TextEntry> ReadTextSources(const std::vector<std::string>& files);

}  // namespace vykcn::tool
