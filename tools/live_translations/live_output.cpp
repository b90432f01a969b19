#include "live_translations/live_output.h"

#include "common/command_error.h"
#include "common/file_io.h"
#include "system/files.h"

namespace vykcn::tool {

LiveOutput::LiveOutput(const std::string& gameFolder)
    : folder_(system::JoinPath(gameFolder, kLiveFolderName)), path_(system::JoinPath(folder_, kLiveTranslationsName)) {}

bool LiveOutput::TryWrite(const std::vector<uint8_t>& resource, std::string* reason) const {
  if (!system::MakeFolder(folder_, reason)) {
    *reason = "cannot make " + folder_ + ": " + *reason;
    return false;
  }
  try {
    WriteFileAtomically(path_, resource);
    return true;
  } catch (const CommandError& e) {
    *reason = e.what();
    return false;
  }
}

}  // namespace vykcn::tool
