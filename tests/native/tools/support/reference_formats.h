#pragma once
// What the toolkit must write, spelt out here from the formats' definitions on their own, to
// compare its output with: the SubtitleHash, the translation image and the atlas's DDS prefix.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vykcn::test {

// h = h * 131 + (signed) byte.
uint32_t TestHash(const std::string& text);

// The image of hash and text records: count, then hash + text + 0 per record.
std::vector<uint8_t> ImageOfRecords(const std::vector<std::pair<uint32_t, std::string>>& records);

// The image that host text and translation pairs should make, hashed with TestHash.
std::vector<uint8_t> ExpectedImage(const std::vector<std::pair<std::string, std::string>>& pairs);

// The font atlas's 128-byte DDS prefix for a BC3 atlas of the given size, written out field by field.
std::vector<uint8_t> ExpectedAtlasPrefix(uint32_t width = 2048, uint32_t height = 1024);

}  // namespace vykcn::test
