#include "translation_set/file_check_cache.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "common/file_io.h"
#include "text_sources/text_sources.h"

namespace vykcn::tool {
namespace {

// The same file under another name and position: its entries and findings name `path`.
std::shared_ptr<const ReadFile> Renamed(const ReadFile& read, const std::string& path, int fileIndex) {
  auto file = std::make_shared<ReadFile>(read);
  const std::string before = file->source.path;
  file->source.path = path;
  for (TextEntry& entry : file->source.entries) entry.file = path;
  for (Problem& finding : file->findings) {
    finding.fileIndex = fileIndex;
    if (finding.file == before) finding.file = path;
  }
  return file;
}

FileReading ReadAndCheckFile(const std::string& path, int fileIndex, EntryCheck check) {
  FileReading reading;
  try {
    auto file = std::make_shared<ReadFile>();
    file->source = ReadTextSourceFile(path);  // the PO reader parses one file at a time
    for (Problem problem : file->source.problems) {
      problem.fileIndex = fileIndex;
      file->findings.push_back(std::move(problem));
    }
    file->passed.reserve(file->source.entries.size());
    for (const TextEntry& entry : file->source.entries) {
      file->passed.push_back(entry.usable && check(entry, fileIndex, &file->findings));
    }
    reading.file = std::move(file);
  } catch (...) {
    reading.failure = std::current_exception();
  }
  return reading;
}

}  // namespace

std::vector<FileReading> ReadAndCheckFiles(const std::vector<std::string>& paths, const std::vector<int>& fileIndices,
                                           EntryCheck check) {
  std::vector<FileReading> readings(paths.size());
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i = next++; i < paths.size(); i = next++) readings[i] = ReadAndCheckFile(paths[i], fileIndices[i], check);
  };
  // One thread beside this one: while one parses a file (one at a time), the other scans and checks
  // the file before it; more add little, as the parses stay one at a time.
  const size_t helpers = std::thread::hardware_concurrency() > 1 && paths.size() > 1 ? 1 : 0;
  std::vector<std::thread> threads;
  for (size_t t = 0; t < helpers; ++t) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no thread to be had: this one reads them all
    }
  }
  work();
  for (std::thread& thread : threads) thread.join();
  return readings;
}

std::shared_ptr<const ReadFile> FileCheckCache::Find(const std::string& path, const std::vector<uint8_t>& bytes,
                                                     int fileIndex) {
  Read* sameBytes = nullptr;
  for (Read& earlier : read_) {
    if (earlier.bytes.size() != bytes.size() || earlier.bytes != bytes) continue;
    if (earlier.file->source.path == path) {
      earlier.taken = true;
      return earlier.file;
    }
    if (sameBytes == nullptr) sameBytes = &earlier;
  }
  if (sameBytes == nullptr) return nullptr;
  std::shared_ptr<const ReadFile> file = Renamed(*sameBytes->file, path, fileIndex);
  read_.push_back({bytes, file, true});
  return file;
}

std::vector<FileReading> FileCheckCache::GetAll(const std::vector<std::string>& paths,
                                                const std::vector<int>& fileIndices, EntryCheck check) {
  std::vector<FileReading> readings(paths.size());
  std::vector<std::vector<uint8_t>> bytes(paths.size());
  std::vector<std::string> unread;
  std::vector<int> unreadIndices;
  std::vector<size_t> unreadAt;
  for (size_t i = 0; i < paths.size(); ++i) {
    try {
      bytes[i] = ReadFileBytes(paths[i]);
    } catch (...) {
      readings[i].failure = std::current_exception();
      continue;
    }
    readings[i].file = Find(paths[i], bytes[i], fileIndices[i]);
    if (readings[i].file != nullptr) continue;
    unread.push_back(paths[i]);
    unreadIndices.push_back(fileIndices[i]);
    unreadAt.push_back(i);
  }
  std::vector<FileReading> fresh = ReadAndCheckFiles(unread, unreadIndices, check);
  for (size_t n = 0; n < fresh.size(); ++n) {
    const size_t i = unreadAt[n];
    if (fresh[n].file != nullptr) read_.push_back({std::move(bytes[i]), fresh[n].file, true});
    readings[i] = std::move(fresh[n]);
  }
  return readings;
}

void FileCheckCache::ForgetUntaken() {
  read_.erase(std::remove_if(read_.begin(), read_.end(), [](const Read& file) { return !file.taken; }), read_.end());
  for (Read& file : read_) file.taken = false;
}

}  // namespace vykcn::tool
