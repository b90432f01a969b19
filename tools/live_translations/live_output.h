#pragma once
// Where watch puts the translations for the test build: vykcn-live/translations.bin in the game's
// folder (beside the host executable), a translation resource as `pack-text -o` writes it.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

constexpr const char kLiveFolderName[] = "vykcn-live";
constexpr const char kLiveTranslationsName[] = "translations.bin";

class LiveOutput {
 public:
  explicit LiveOutput(const std::string& gameFolder);

  const std::string& path() const { return path_; }

  // Writes `resource` through a temporary file beside it and a rename, making vykcn-live/ first
  // when it is missing. A refused rename (on Windows, while another program holds the file without
  // sharing it) leaves the old file as it was: false, with the reason, for the caller to try again.
  bool TryWrite(const std::vector<uint8_t>& resource, std::string* reason) const;

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace vykcn::tool
