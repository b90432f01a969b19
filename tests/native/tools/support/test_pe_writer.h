#pragma once
// A test-side writer of minimal 64-bit PE DLLs that carry a resource section (written by the
// toolkit's own writer) and sections of zeros named as asked, so that the module readers and build
// can be tested without a Windows toolchain.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vykcn::test {

struct TestResource {
  std::string typeName;  // a string type such as "IDR_DATA", or "" for the integer typeId
  uint16_t typeId = 0;
  uint16_t id = 0;
  uint16_t language = 0;
  std::vector<uint8_t> data;
};

// A section after .rsrc, of `size` zero bytes; at most three, which the headers have room for.
// Names longer than 8 bytes go into a COFF string table, as the GNU linker writes them
// (".debug_info" becomes "/4").
struct TestSection {
  std::string name;
  uint32_t size = 0;
};

// Resources of the same type must be adjacent in the list.
std::vector<uint8_t> BuildTestPe(const std::vector<TestResource>& resources,
                                 const std::vector<TestSection>& sections = {});

// The translation resource for `texts`: u32 image size, then the framed LZX stream of the image
// (u32 count, then per text a u32 hash and the text with its 0 byte), packed as pack-text packs.
std::vector<uint8_t> BuildTranslationResource(const std::vector<std::pair<uint32_t, std::string>>& texts);

}  // namespace vykcn::test
