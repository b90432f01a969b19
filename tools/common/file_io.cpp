#include "common/file_io.h"

#include "common/command_error.h"
#include "system/files.h"

namespace vykcn::tool {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string reason;
  if (!system::ReadWholeFile(path, &bytes, &reason)) throw CommandError("cannot read " + path + ": " + reason);
  return bytes;
}

void WriteFilesAtomically(const std::vector<std::pair<std::string, const std::vector<uint8_t>*>>& files) {
  // The move would replace a device, a pipe or a folder's entry itself: only files are written.
  for (const auto& [path, bytes] : files) {
    const system::FileKind kind = system::LookAt(path).kind;
    if (kind != system::FileKind::kMissing && kind != system::FileKind::kRegular) {
      throw CommandError("cannot write " + path + ": not a regular file");
    }
  }
  size_t failed = 0;
  std::string reason;
  if (!system::ReplaceFiles(files, &failed, &reason)) throw CommandError("cannot write " + files[failed].first + ": " + reason);
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFilesAtomically({{path, &bytes}});
}

}  // namespace vykcn::tool
