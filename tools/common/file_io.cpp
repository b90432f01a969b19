#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/command_error.h"

namespace vykcn::tool {
namespace {

std::string Reason() { return std::strerror(errno); }

struct Descriptor {  // closes on scope exit
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  Descriptor in{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) throw CommandError("cannot read " + path + ": " + Reason());
  struct stat info;
  if (fstat(in.fd, &info) != 0) throw CommandError("cannot read " + path + ": " + Reason());
  if (S_ISDIR(info.st_mode)) throw CommandError("cannot read " + path + ": Is a directory");
  std::vector<uint8_t> bytes;
  if (S_ISREG(info.st_mode)) bytes.reserve(static_cast<size_t>(info.st_size));
  uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = read(in.fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw CommandError("cannot read " + path + ": " + Reason());
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

void WriteFilesAtomically(const std::vector<std::pair<std::string, const std::vector<uint8_t>*>>& files) {
  // The rename would replace a device, a pipe or a folder's entry itself: only files are written.
  for (const auto& [path, bytes] : files) {
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
      throw CommandError("cannot write " + path + ": not a regular file");
    }
  }
  // Temporary names of our own beside the targets, so that each rename stays on one file system and
  // never replaces a file the user has. Every file is written before any is renamed into place.
  std::vector<std::string> temporaries;
  const auto fail = [&](const std::string& path, const std::string& reason) {
    for (const std::string& temporary : temporaries) unlink(temporary.c_str());
    throw CommandError("cannot write " + path + ": " + reason);
  };
  // mkstemp makes the file 0600; the output gets what the umask allows, as an ordinary file would.
  const mode_t mask = umask(0);
  umask(mask);
  for (const auto& [path, bytes] : files) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) fail(path, Reason());
    temporaries.push_back(temporary);
    size_t written = 0;
    while (written < bytes->size()) {
      const ssize_t n = write(fd, bytes->data() + written, bytes->size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        const std::string reason = n < 0 ? Reason() : "nothing written";
        close(fd);
        fail(path, reason);
      }
      written += static_cast<size_t>(n);
    }
    if (fchmod(fd, 0666 & ~mask) != 0) {
      const std::string reason = Reason();
      close(fd);
      fail(path, reason);
    }
    if (close(fd) != 0) fail(path, Reason());
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (std::rename(temporaries[i].c_str(), files[i].first.c_str()) != 0) {
      const std::string reason = Reason();
      temporaries.erase(temporaries.begin(), temporaries.begin() + static_cast<std::ptrdiff_t>(i));
      fail(files[i].first, reason);
    }
  }
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFilesAtomically({{path, &bytes}});
}

}  // namespace vykcn::tool
