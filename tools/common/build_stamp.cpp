#include "common/build_stamp.h"

#include <cstdio>
#include <cstring>

#include "common/file_io.h"
#include "system/files.h"

namespace vykcn::tool {
namespace {

std::string DigestOfFile(const std::string& path) {
  BuildStamp stamp;
  stamp.AddFile("file", path);
  return stamp.Digest();
}

}  // namespace

void BuildStamp::Mix(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) {
    a_ = (a_ ^ bytes[i]) * 0x100000001B3u;
    b_ = ((b_ + bytes[i]) * 0xFF51AFD7ED558CCDu);
    b_ ^= b_ >> 29;
  }
}

void BuildStamp::Add(std::string_view label, const void* data, size_t size) {
  // Each part's label and length first, so that no two different sequences of parts mix alike.
  const uint64_t lengths[2] = {label.size(), size};
  Mix(lengths, sizeof lengths);
  Mix(label.data(), label.size());
  Mix(data, size);
}

void BuildStamp::AddFile(std::string_view label, const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  Add(label, bytes.data(), bytes.size());
}

void BuildStamp::AddThisProgram() { AddFile("program", system::ThisProgram()); }

std::string BuildStamp::Digest() const {
  char text[40];
  std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(a_),
                static_cast<unsigned long long>(b_));
  return text;
}

std::string RecordedDigest(const std::string& stampPath, const std::vector<std::string>& outputs) {
  // No record yet, or an output gone: they are made again. A record or an output that is there
  // but cannot be read is an error, said as such.
  if (system::LookAt(stampPath).kind == system::FileKind::kMissing) return "";
  for (const std::string& output : outputs) {
    if (system::LookAt(output).kind == system::FileKind::kMissing) return "";
  }
  const std::vector<uint8_t> bytes = ReadFileBytes(stampPath);
  const std::string recorded(bytes.begin(), bytes.end());
  const size_t end = recorded.find('\n');
  if (end == std::string::npos) return "";
  std::string expected = recorded.substr(0, end + 1);
  for (const std::string& output : outputs) expected += DigestOfFile(output) + " " + output + "\n";
  return recorded == expected ? recorded.substr(0, end) : "";
}

bool StampIsCurrent(const std::string& stampPath, const std::string& digest, const std::vector<std::string>& outputs) {
  return !digest.empty() && RecordedDigest(stampPath, outputs) == digest;
}

void WriteStamp(const std::string& stampPath, const std::string& digest, const std::vector<std::string>& outputs) {
  std::string record = digest + "\n";
  for (const std::string& output : outputs) record += DigestOfFile(output) + " " + output + "\n";
  WriteFileAtomically(stampPath, std::vector<uint8_t>(record.begin(), record.end()));
}

}  // namespace vykcn::tool
