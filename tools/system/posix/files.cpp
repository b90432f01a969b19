#include "system/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vykcn::tool::system {
namespace {

std::string Reason() { return std::strerror(errno); }

struct Descriptor {  // closes on scope exit
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

FileInfo LookAt(const std::string& path) {
  FileInfo info;
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    info.reason = Reason();
    return info;
  }
  info.kind = S_ISREG(status.st_mode) ? FileKind::kRegular : S_ISDIR(status.st_mode) ? FileKind::kDirectory : FileKind::kOther;
  info.volume = status.st_dev;
  info.index = status.st_ino;
  info.size = static_cast<uint64_t>(status.st_size);
  info.modified = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
  return info;
}

bool CanRead(const std::string& path, std::string* reason) {
  if (access(path.c_str(), R_OK) == 0) return true;
  *reason = Reason();
  return false;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason) {
  Descriptor in{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat info;
  if (in.fd < 0 || fstat(in.fd, &info) != 0) {
    *reason = Reason();
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    *reason = "Is a directory";
    return false;
  }
  bytes->clear();
  if (S_ISREG(info.st_mode)) bytes->reserve(static_cast<size_t>(info.st_size));
  uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = read(in.fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      *reason = Reason();
      return false;
    }
    bytes->insert(bytes->end(), buffer, buffer + n);
  }
}

bool ReplaceFiles(const std::vector<std::pair<std::string, const std::vector<uint8_t>*>>& files, size_t* failed,
                  std::string* reason) {
  // Temporary names of our own beside the targets, so that each rename stays on one file system and
  // never replaces a file the user has.
  std::vector<std::string> temporaries;
  const auto fail = [&](size_t index, const std::string& why) {
    for (const std::string& temporary : temporaries) unlink(temporary.c_str());
    *failed = index;
    *reason = why;
    return false;
  };
  // mkstemp makes the file 0600; the output gets what the umask allows, as an ordinary file would.
  const mode_t mask = umask(0);
  umask(mask);
  for (size_t i = 0; i < files.size(); ++i) {
    const std::vector<uint8_t>& bytes = *files[i].second;
    std::string temporary = files[i].first + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return fail(i, Reason());
    temporaries.push_back(temporary);
    size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        const std::string why = n < 0 ? Reason() : "nothing written";
        close(fd);
        return fail(i, why);
      }
      written += static_cast<size_t>(n);
    }
    if (fchmod(fd, 0666 & ~mask) != 0) {
      const std::string why = Reason();
      close(fd);
      return fail(i, why);
    }
    if (close(fd) != 0) return fail(i, Reason());
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (std::rename(temporaries[i].c_str(), files[i].first.c_str()) != 0) {
      const std::string why = Reason();
      temporaries.erase(temporaries.begin(), temporaries.begin() + static_cast<std::ptrdiff_t>(i));
      return fail(i, why);
    }
  }
  return true;
}

bool MakeFolder(const std::string& path, std::string* reason) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  const int error = errno;
  if (error == EEXIST && LookAt(path).kind == FileKind::kDirectory) return true;
  *reason = error == EEXIST ? "File exists" : std::strerror(error);
  return false;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries, std::string* reason) {
  DIR* directory = opendir(folder.c_str());
  if (directory == nullptr) {
    *reason = Reason();
    return false;
  }
  entries->clear();
  errno = 0;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    // Links are followed, as everywhere else: a linked folder is walked like a folder.
    entries->push_back({name, LookAt(JoinPath(folder, name)).kind == FileKind::kDirectory});
  }
  const int error = errno;
  closedir(directory);
  if (error != 0) {
    *reason = std::strerror(error);
    return false;
  }
  return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string PlaceOfNewFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

std::string ThisProgram() { return "/proc/self/exe"; }

std::string ThisProgramsFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink(ThisProgram(), error);
  return error ? std::string(".") : program.parent_path().string();
}

}  // namespace vykcn::tool::system
