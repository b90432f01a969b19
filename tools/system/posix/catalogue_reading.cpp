#include "system/catalogue_reading.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vykcn::tool::system {

bool WithCatalogueBytes(const std::vector<uint8_t>& bytes, const std::function<void(const char* name)>& read,
                        std::string* reason) {
  const int fd = memfd_create("po", MFD_CLOEXEC);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  for (size_t written = 0; written < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) {
      *reason = n < 0 ? std::strerror(errno) : "nothing written";
      close(fd);
      return false;
    }
    written += static_cast<size_t>(n);
  }
  const std::string name = "/proc/self/fd/" + std::to_string(fd);
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  read(name.c_str());
  return true;
}

bool SetProcessVariable(const char* name, const char* value) {
  return (*value == '\0' ? unsetenv(name) : setenv(name, value, 1)) == 0;
}

}  // namespace vykcn::tool::system
