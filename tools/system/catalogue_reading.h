#pragma once
// libgettextpo opens what it reads by name, with the C runtime. The toolkit reads a file once and
// hands the library those very bytes, so that its own scan of the lines and the library see the
// same text, whatever the path's characters (Windows' C runtime opens only ANSI names) and
// without any translation of line ends.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vykcn::tool::system {

// Calls read(name) with a name that libgettextpo's po_file_read reads `bytes` from: on POSIX a
// memory file's /proc/self/fd path; on Windows "-", with the standard input bound meanwhile to a
// temporary file of the bytes. False, with the reason, when no such name can be made.
bool WithCatalogueBytes(const std::vector<uint8_t>& bytes, const std::function<void(const char* name)>& read,
                        std::string* reason);

// Sets a variable of this process's environment, as the libraries it calls read it (libgettextpo's
// OLD_PO_FILE_INPUT); an empty value removes it. False when it cannot be set.
bool SetProcessVariable(const char* name, const char* value);

}  // namespace vykcn::tool::system
