#include "module_reading/pe_resources.h"

#include <algorithm>

#include "base/byte_order.h"
#include "common/command_error.h"
#include "formats/resource_ids.h"

namespace vykcn::tool {
namespace {

// Bounds-checked little-endian reads from the file.
class FileView {
 public:
  explicit FileView(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Has(uint64_t offset, uint64_t size) const { return offset <= bytes_.size() && size <= bytes_.size() - offset; }
  uint16_t U16(uint64_t offset) const {
    Require(offset, 2);
    return ReadU16LE(bytes_.data() + offset);
  }
  uint32_t U32(uint64_t offset) const {
    Require(offset, 4);
    return ReadU32LE(bytes_.data() + offset);
  }
  void Require(uint64_t offset, uint64_t size) const {
    if (!Has(offset, size)) throw CommandError("PE image is cut short or points outside itself");
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  const std::vector<uint8_t>& bytes_;
};

struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr uint32_t kStringNameFlag = 0x80000000u;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kDirectoryEntrySize = 8;
constexpr size_t kMaxResources = 10000;
constexpr uint64_t kMaxCopyFactor = 4;

class ResourceWalker {
 public:
  ResourceWalker(const FileView& file, std::vector<Section> sections, uint32_t rootOffset)
      : file_(file), sections_(std::move(sections)), root_(rootOffset) {}

  std::vector<PeResource> Walk() {
    std::vector<PeResource> resources;
    uint64_t copiedBytes = 0;
    for (const auto& [type, typeDir] : Entries(0, true)) {
      for (const auto& [name, nameDir] : Entries(typeDir, true)) {
        for (const auto& [language, dataEntry] : Entries(nameDir, false)) {
          PeResource resource;
          resource.type = type;
          resource.name = name;
          resource.language = language.id;
          const uint32_t rva = file_.U32(root_ + dataEntry), size = file_.U32(root_ + dataEntry + 4);
          resource.codePage = file_.U32(root_ + dataEntry + 8);
          const uint64_t offset = FileOffset(rva, size);
          // Directories may share subdirectories; a hostile file could multiply them without end.
          copiedBytes += size;
          if (resources.size() >= kMaxResources || copiedBytes > kMaxCopyFactor * file_.bytes().size()) {
            throw CommandError("PE resource directory lists more resources than the file can hold");
          }
          resource.data.assign(file_.bytes().begin() + static_cast<long>(offset),
                               file_.bytes().begin() + static_cast<long>(offset + size));
          resources.push_back(std::move(resource));
        }
      }
    }
    return resources;
  }

  uint64_t FileOffset(uint32_t rva, uint32_t size) const {
    for (const Section& s : sections_) {
      const uint64_t extent = std::max(s.virtualSize, s.rawSize);
      if (rva >= s.virtualAddress && uint64_t(rva) - s.virtualAddress + size <= extent) {
        const uint64_t offset = s.rawOffset + (uint64_t(rva) - s.virtualAddress);
        if (uint64_t(rva) - s.virtualAddress + size > s.rawSize) break;  // not backed by file bytes
        file_.Require(offset, size);
        return offset;
      }
    }
    throw CommandError("PE resource data lies outside the file's sections");
  }

 private:
  // The (name, offset relative to the root) pairs of one directory. `subdirectories` says what
  // the entries must point to: directories above the language level, data entries at it.
  std::vector<std::pair<ResourceName, uint32_t>> Entries(uint32_t directory, bool subdirectories) {
    const uint64_t at = uint64_t(root_) + directory;
    file_.Require(at, kDirectoryHeaderSize);
    const uint32_t count = uint32_t(file_.U16(at + 12)) + file_.U16(at + 14);
    std::vector<std::pair<ResourceName, uint32_t>> entries;
    for (uint32_t i = 0; i < count; ++i) {
      const uint64_t entry = at + kDirectoryHeaderSize + uint64_t(i) * kDirectoryEntrySize;
      const uint32_t nameField = file_.U32(entry), target = file_.U32(entry + 4);
      if (((target & kSubdirectoryFlag) != 0) != subdirectories) {
        throw CommandError("PE resource directory is not three levels deep");
      }
      ResourceName name;
      if (nameField & kStringNameFlag) {
        const uint64_t string = uint64_t(root_) + (nameField & ~kStringNameFlag);
        const uint16_t length = file_.U16(string);
        file_.Require(string + 2, uint64_t(length) * 2);
        name.isString = true;
        for (uint16_t k = 0; k < length; ++k) {
          const uint16_t unit = file_.U16(string + 2 + 2 * k);
          name.text += unit < 0x80 ? static_cast<char>(unit) : '?';
          name.units.push_back(unit);
        }
      } else {
        name.id = static_cast<uint16_t>(nameField);
      }
      entries.emplace_back(name, target & ~kSubdirectoryFlag);
    }
    return entries;
  }

  const FileView& file_;
  std::vector<Section> sections_;
  uint32_t root_;
};

}  // namespace

std::string ResourceName::ToString() const { return isString ? "\"" + text + "\"" : std::to_string(id); }

std::string ResourceName::TypeLabel() const {
  if (Is(kRtRcData)) return "RT_RCDATA";
  if (Is(kRtManifest)) return "RT_MANIFEST";
  return ToString();
}

std::vector<PeResource> ReadPeResources(const std::vector<uint8_t>& image) {
  const FileView file(image);
  if (!file.Has(0, 64) || image[0] != 'M' || image[1] != 'Z') throw CommandError("not a PE image (no MZ header)");
  const uint32_t pe = file.U32(0x3C);
  if (!file.Has(pe, 24) || file.U32(pe) != 0x00004550) throw CommandError("not a PE image (no PE signature)");
  const uint16_t sectionCount = file.U16(pe + 6), optionalSize = file.U16(pe + 20);
  const uint64_t optional = uint64_t(pe) + 24;
  const uint16_t magic = file.U16(optional);
  if (magic != 0x10B && magic != 0x20B) throw CommandError("not a PE image (unknown optional header)");
  const uint64_t directories = optional + (magic == 0x20B ? 112 : 96);
  const uint32_t directoryCount = file.U32(optional + (magic == 0x20B ? 108 : 92));
  constexpr uint32_t kResourceDirectoryIndex = 2;
  if (directoryCount <= kResourceDirectoryIndex) return {};
  const uint32_t resourceRva = file.U32(directories + 8 * kResourceDirectoryIndex);
  const uint32_t resourceSize = file.U32(directories + 8 * kResourceDirectoryIndex + 4);
  if (resourceRva == 0 || resourceSize == 0) return {};

  std::vector<Section> sections;
  const uint64_t table = optional + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t s = table + uint64_t(i) * 40;
    sections.push_back({file.U32(s + 12), file.U32(s + 8), file.U32(s + 20), file.U32(s + 16)});
  }
  ResourceWalker probe(file, sections, 0);
  const uint64_t root = probe.FileOffset(resourceRva, kDirectoryHeaderSize);
  // Offsets inside the directory count from its start; data entries hold RVAs.
  ResourceWalker walker(file, sections, static_cast<uint32_t>(root));
  return walker.Walk();
}

const PeResource* FindPeResource(const std::vector<PeResource>& resources, const ResourceName& type, uint16_t id) {
  for (const PeResource& r : resources) {
    if (r.type.isString == type.isString && r.type.id == type.id && r.type.text == type.text && r.name.Is(id)) return &r;
  }
  return nullptr;
}

ResourceName ModuleResourceType(uint32_t id) {
  ResourceName type;
  if (id == kFontAtlasResourceId) {
    type.id = kRtRcData;
  } else {
    type.isString = true;
    type.text = kDataResourceType;
  }
  return type;
}

const std::vector<uint8_t>& RequireModuleResource(const std::vector<PeResource>& resources, uint32_t id,
                                                  const std::string& path) {
  const ResourceName type = ModuleResourceType(id);
  const PeResource* resource = FindPeResource(resources, type, static_cast<uint16_t>(id));
  if (resource == nullptr) throw CommandError(path + " has no resource " + type.TypeLabel() + " " + std::to_string(id));
  return resource->data;
}

}  // namespace vykcn::tool
