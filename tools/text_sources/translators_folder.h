#pragma once
// A folder of translators' files as the build reads it.
#include <string>
#include <vector>

namespace vykcn::tool {

// The .po and .csv files (extensions in any case) of the folder and its subfolders, in the order of
// their paths inside it ('/' between names, bytes compared), on every platform alike: "a-b.po",
// "a.po", "patches/a.po". Throws CommandError for a folder that cannot be read or holds none.
std::vector<std::string> TranslatorsFilesIn(const std::string& folder);

}  // namespace vykcn::tool
