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

struct Descriptor {
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

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  // The rename would replace a device, a pipe or a folder's entry itself: only files are written.
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    throw CommandError("cannot write " + path + ": not a regular file");
  }
  // A temporary name of our own beside the target, so that the rename stays on one file system
  // and never replaces a file the user has.
  std::string temporary = path + ".XXXXXX";
  Descriptor out{mkstemp(temporary.data())};
  if (out.fd < 0) throw CommandError("cannot write " + path + ": " + Reason());
  auto fail = [&](const std::string& reason) {
    close(out.fd);
    out.fd = -1;
    unlink(temporary.c_str());
    throw CommandError("cannot write " + path + ": " + reason);
  };
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(out.fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(Reason());
    }
    written += static_cast<size_t>(n);
  }
  // mkstemp makes the file 0600; the output gets what the umask allows, as an ordinary file would.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(out.fd, 0666 & ~mask) != 0) fail(Reason());
  if (close(out.fd) != 0) {
    out.fd = -1;
    unlink(temporary.c_str());
    throw CommandError("cannot write " + path + ": " + Reason());
  }
  out.fd = -1;
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = Reason();
    unlink(temporary.c_str());
    throw CommandError("cannot write " + path + ": " + reason);
  }
}

}  // namespace vykcn::tool
