#pragma once
// Options that may be given more than once. Each occurrence takes exactly one word, so that the
// word after it is never taken for another value (it stays an input file, or the next option):
// a list of names or hashes, which never hold a comma, may be one comma-separated word; a file
// takes an occurrence of its own, since a path may hold a comma.
#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

namespace vykcn::tool {

// --NAME VALUE[,VALUE...], repeatable; `take` gets each value in order, and throws
// CLI::ValidationError for one it refuses. `valueName` names a value in the help ("CLASS").
CLI::Option* AddListOption(CLI::App* command, const std::string& name, const std::string& valueName,
                           const std::string& help, std::function<void(const std::string&)> take);

// --NAME FILE, repeatable, one file each time, appended to *files.
CLI::Option* AddFilesOption(CLI::App* command, const std::string& name, std::vector<std::string>* files,
                            const std::string& help);

}  // namespace vykcn::tool
