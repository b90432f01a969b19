#pragma once
// Which files a set of translators' files is made of: what check, pack-text, pack-font and diff
// take from their arguments, and what make packs from its TRANSLATIONS folder (CMake asks the tool,
// `vykcn-tool files`), by this one walk.
#include <string>
#include <vector>

namespace vykcn::tool {

// A .po or .csv file's name, extension in any case.
bool IsTranslatorsFileName(const std::string& path);

// The files each argument stands for, in the order of the arguments: a folder, its .po and .csv
// files (extensions in any case) and its subfolders' (links to folders are not followed), in the
// byte order of their paths, so that a folder of patches named after the base files comes after
// them; anything else, itself. A folder that cannot be read or holds no such file adds a sentence
// naming it to *problems.
std::vector<std::string> TranslatorsFiles(const std::vector<std::string>& arguments, std::vector<std::string>* problems);

// The files of one folder, as above; throws CommandError when it cannot be read or holds none.
std::vector<std::string> TranslatorsFilesIn(const std::string& folder);

}  // namespace vykcn::tool
