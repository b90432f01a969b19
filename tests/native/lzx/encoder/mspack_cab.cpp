#include "mspack_cab.h"

#include <mspack.h>

#include <cstring>
#include <map>
#include <string>

#include "base/byte_order.h"

namespace vykcn::lzx::test {

namespace {

// Files live in a map from name to bytes.
struct MemoryFile {
  std::vector<uint8_t>* bytes;
  size_t position;
};

std::map<std::string, std::vector<uint8_t>>* gFiles = nullptr;

mspack_file* MemOpen(mspack_system*, const char* name, int mode) {
  auto& bytes = (*gFiles)[name];
  if (mode == MSPACK_SYS_OPEN_WRITE) bytes.clear();
  return reinterpret_cast<mspack_file*>(new MemoryFile{&bytes, 0});
}
void MemClose(mspack_file* file) { delete reinterpret_cast<MemoryFile*>(file); }
int MemRead(mspack_file* file, void* buffer, int n) {
  auto* f = reinterpret_cast<MemoryFile*>(file);
  const size_t available = f->bytes->size() - f->position;
  const size_t count = std::min(available, static_cast<size_t>(n));
  std::memcpy(buffer, f->bytes->data() + f->position, count);
  f->position += count;
  return static_cast<int>(count);
}
int MemWrite(mspack_file* file, void* buffer, int n) {
  auto* f = reinterpret_cast<MemoryFile*>(file);
  const auto* p = static_cast<const uint8_t*>(buffer);
  f->bytes->insert(f->bytes->end(), p, p + n);
  return n;
}
int MemSeek(mspack_file* file, off_t offset, int mode) {
  auto* f = reinterpret_cast<MemoryFile*>(file);
  off_t base = mode == MSPACK_SYS_SEEK_START ? 0
               : mode == MSPACK_SYS_SEEK_CUR ? static_cast<off_t>(f->position)
                                             : static_cast<off_t>(f->bytes->size());
  const off_t target = base + offset;
  if (target < 0 || target > static_cast<off_t>(f->bytes->size())) return 1;
  f->position = static_cast<size_t>(target);
  return 0;
}
off_t MemTell(mspack_file* file) { return static_cast<off_t>(reinterpret_cast<MemoryFile*>(file)->position); }
void MemMessage(mspack_file*, const char*, ...) {}
void* MemAlloc(mspack_system*, size_t n) { return std::malloc(n); }
void MemFree(void* p) { std::free(p); }
void MemCopy(void* src, void* dst, size_t n) { std::memmove(dst, src, n); }

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.resize(out.size() + 2);
  WriteU16LE(out.data() + out.size() - 2, static_cast<uint16_t>(v));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  out.resize(out.size() + 4);
  WriteU32LE(out.data() + out.size() - 4, v);
}

unsigned Log2(uint32_t powerOfTwo) {
  unsigned bits = 0;
  while ((1u << bits) < powerOfTwo) ++bits;
  return bits;
}

// A cabinet holding one file, "data", in one LZX folder with the given data blocks.
std::vector<uint8_t> BuildCabinet(const std::vector<FramedChunk>& chunks, uint32_t windowSize) {
  uint32_t total = 0;
  for (const auto& chunk : chunks) total += chunk.produced;
  const std::string name = "data";
  const uint32_t headerSize = 36, folderSize = 8, fileSize = 16 + static_cast<uint32_t>(name.size()) + 1;
  const uint32_t firstBlock = headerSize + folderSize + fileSize;
  uint32_t cabinetSize = firstBlock;
  for (const auto& chunk : chunks) cabinetSize += 8 + static_cast<uint32_t>(chunk.data.size());

  std::vector<uint8_t> cab;
  cab.insert(cab.end(), {'M', 'S', 'C', 'F'});
  Put32(cab, 0);             // reserved
  Put32(cab, cabinetSize);  // cbCabinet
  Put32(cab, 0);             // reserved
  Put32(cab, headerSize + folderSize);  // coffFiles
  Put32(cab, 0);             // reserved
  cab.push_back(3);          // version minor
  cab.push_back(1);          // version major
  Put16(cab, 1);             // cFolders
  Put16(cab, 1);             // cFiles
  Put16(cab, 0);             // flags
  Put16(cab, 0);             // setID
  Put16(cab, 0);             // iCabinet
  // CFFOLDER
  Put32(cab, firstBlock);
  Put16(cab, static_cast<uint32_t>(chunks.size()));
  Put16(cab, 0x0003 | Log2(windowSize) << 8);  // LZX and its window
  // CFFILE
  Put32(cab, total);
  Put32(cab, 0);  // offset in folder
  Put16(cab, 0);  // folder index
  Put16(cab, 0x226C);  // date
  Put16(cab, 0);       // time
  Put16(cab, 0x20);    // attributes
  cab.insert(cab.end(), name.begin(), name.end());
  cab.push_back(0);
  for (const auto& chunk : chunks) {
    Put32(cab, 0);  // no checksum
    Put16(cab, static_cast<uint32_t>(chunk.data.size()));
    Put16(cab, chunk.produced);
    cab.insert(cab.end(), chunk.data.begin(), chunk.data.end());
  }
  return cab;
}

}  // namespace

std::optional<std::vector<FramedChunk>> SplitFramedStream(const std::vector<uint8_t>& stream) {
  std::vector<FramedChunk> chunks;
  if (stream.size() < 5) return std::nullopt;
  const size_t end = stream.size() - 5;
  size_t pos = 0;
  while (pos < end) {
    uint32_t produced, compressed;
    if (stream[pos] == 0xFF) {
      if (pos + 5 > end) return std::nullopt;
      produced = ReadU16BE(&stream[pos + 1]);
      compressed = ReadU16BE(&stream[pos + 3]);
      pos += 5;
    } else {
      if (pos + 2 > end) return std::nullopt;
      produced = 32768;
      compressed = ReadU16BE(&stream[pos]);
      pos += 2;
    }
    if (pos + compressed > end) return std::nullopt;
    chunks.push_back({std::vector<uint8_t>(stream.begin() + pos, stream.begin() + pos + compressed), produced});
    pos += compressed;
    if (produced != 32768 && pos != end) return std::nullopt;  // a sized chunk must be the last
  }
  return chunks;
}

LibmspackCabinet::LibmspackCabinet(const std::vector<uint8_t>& stream, uint32_t windowSize) {
  const auto chunks = SplitFramedStream(stream);
  if (!chunks) return;
  framed_ = true;
  files_["in.cab"] = BuildCabinet(*chunks, windowSize);
  size_t total = 0;
  for (const auto& chunk : *chunks) total += chunk.produced;
  files_["out"].reserve(total);  // extraction then never reallocates
}

bool LibmspackCabinet::Extract() {
  if (!framed_) return false;
  gFiles = &files_;
  mspack_system system{MemOpen, MemClose, MemRead, MemWrite, MemSeek, MemTell, MemMessage, MemAlloc, MemFree, MemCopy, nullptr};
  mscab_decompressor* cabd = mspack_create_cab_decompressor(&system);
  bool ok = false;
  if (mscabd_cabinet* cab = cabd->open(cabd, "in.cab")) {
    ok = cab->files != nullptr && cabd->extract(cabd, cab->files, "out") == MSPACK_ERR_OK;
    cabd->close(cabd, cab);
  }
  mspack_destroy_cab_decompressor(cabd);
  gFiles = nullptr;
  return ok;
}

std::optional<std::vector<uint8_t>> DecodeWithLibmspack(const std::vector<uint8_t>& stream, uint32_t windowSize) {
  LibmspackCabinet cabinet(stream, windowSize);
  if (!cabinet.Extract()) return std::nullopt;
  return cabinet.output();
}

}  // namespace vykcn::lzx::test
