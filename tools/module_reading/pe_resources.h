#pragma once
// Reads the resource directory of a PE image (a DLL or EXE file as it lies on disk).
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

// A type or name in the resource directory: a 16-bit integer id or a string.
struct ResourceName {
  bool isString = false;
  uint16_t id = 0;
  std::string text;  // the string's UTF-16 units, ASCII as is, anything else as '?'
  std::vector<uint16_t> units;  // the string's UTF-16 units as stored, to write it again

  bool Is(uint16_t number) const { return !isString && id == number; }
  bool Is(const std::string& name) const { return isString && text == name; }
  std::string ToString() const;   // "IDR_DATA" in quotes, or the number
  std::string TypeLabel() const;  // as ToString, with the names of the standard types used here
};

struct PeResource {
  ResourceName type;
  ResourceName name;
  uint16_t language = 0;
  uint32_t codePage = 0;  // the data entry's code page field
  std::vector<uint8_t> data;
};

constexpr uint16_t kRtRcData = 10;
constexpr uint16_t kRtManifest = 24;

// Every resource of the image, in directory order (type, then name, then language). An image
// without a resource directory has none. Throws CommandError when the file is not a PE image or
// its resource directory points outside the file.
std::vector<PeResource> ReadPeResources(const std::vector<uint8_t>& image);

// The first resource of that type and integer id in any language, or null.
const PeResource* FindPeResource(const std::vector<PeResource>& resources, const ResourceName& type, uint16_t id);

// The type the module's resource `id` is stored under (formats/resource_ids.h): "IDR_DATA" for the
// glyph table and the translations, RT_RCDATA for the font atlas.
ResourceName ModuleResourceType(uint32_t id);
// The module's resource `id` in a module's resources. Throws CommandError ("PATH has no resource
// TYPE ID") when it is missing.
const std::vector<uint8_t>& RequireModuleResource(const std::vector<PeResource>& resources, uint32_t id,
                                                  const std::string& path);

}  // namespace vykcn::tool
