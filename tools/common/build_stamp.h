#pragma once
// What a packer built its outputs from, recorded beside them, so that a build that asks again for
// the same outputs from the same inputs (by content: the characters, the image, the font's bytes,
// the options and the tool itself) finds them made and leaves them alone, whatever the files'
// times say. The record names the outputs' own digests too: an output changed or lost since is
// made again.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vykcn::tool {

// A 128-bit digest of labelled parts, in the order added.
class BuildStamp {
 public:
  void Add(std::string_view label, const void* data, size_t size);
  void Add(std::string_view label, std::string_view text) { Add(label, text.data(), text.size()); }
  // The file's bytes; throws CommandError when it cannot be read.
  void AddFile(std::string_view label, const std::string& path);
  // The running program's own file, so that another build of the tool makes everything again.
  void AddThisProgram();
  std::string Digest() const;

 private:
  void Mix(const void* data, size_t size);
  uint64_t a_ = 0xCBF29CE484222325u;  // FNV-1a, and a second, independent multiply-and-rotate lane
  uint64_t b_ = 0x9E3779B97F4A7C15u;
};

// The digest `stampPath` records, when every output still has the bytes it had when recorded; ""
// when not, or when the record or an output is missing. Throws CommandError when one is there but
// cannot be read.
std::string RecordedDigest(const std::string& stampPath, const std::vector<std::string>& outputs);

// True when `stampPath` records `digest` and every output still has the bytes it had when recorded;
// false when the record or an output is missing. Throws CommandError when one is there but cannot be read.
bool StampIsCurrent(const std::string& stampPath, const std::string& digest, const std::vector<std::string>& outputs);

// Records `digest` and the outputs' digests in `stampPath` (through a temporary file).
void WriteStamp(const std::string& stampPath, const std::string& digest, const std::vector<std::string>& outputs);

}  // namespace vykcn::tool
