#pragma once
// Common CJK ideographs in a fixed order: those of the machine's zh_CN message catalogues, most
// frequent first, then the font's other unified ideographs in code order.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::bench {

// Up to `count` ideographs (U+4E00 to U+9FFF) that the font's face 0 has.
std::vector<uint16_t> FrequentIdeographs(const std::string& catalogueDirectory, const std::string& font,
                                         size_t count);

}  // namespace vykcn::bench
