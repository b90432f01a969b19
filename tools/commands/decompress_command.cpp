#include "commands/decompress_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include "common/command_error.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "commands/window_option.h"
#include "formats/translation_image.h"
#include "lzx/lzx_constants.h"
#include "module_reading/resource_decoding.h"
#include "translation/translation_table.h"

namespace vykcn::tool {
namespace {

// When the stream fails with the window asked for: the window it was written with, if another
// decodes it (to `wanted` bytes; 0: to any), so that the message names the cause.
std::string OtherWindow(const uint8_t* stream, size_t streamSize, size_t capacity, uint32_t tried, size_t wanted) {
  for (uint32_t window = lzx::kMinWindowSize; window <= lzx::kMaxWindowSize; window *= 2) {
    if (window == tried) continue;
    const BoundedDecode decoded = DecodeBounded(stream, streamSize, capacity, window);
    if (decoded.status == lzx::kStatusOk && !decoded.bytes.empty() && (wanted == 0 || decoded.bytes.size() == wanted)) {
      return " (the window does not match: it decodes with --window " + std::to_string(window) + ", not " +
             std::to_string(tried) + ")";
    }
  }
  return "";
}

// What the module's fill says of an image it decoded, or "" when it would take it.
std::string ImageProblem(const std::vector<uint8_t>& image) {
  TranslationTable table;
  if (table.FillFromImage(image.data(), image.size()) == LoadStatus::kLoaded) return "";
  const ImageCheck check = CheckTranslationImage(image.data(), image.size());
  constexpr size_t kSmallestRecord = kRecordHashSize + 1;
  const std::string otherBytes = " (--data decodes a resource of other bytes)";
  if (check.hasCount && check.recordCount > (image.size() - kImageCountSize) / kSmallestRecord) {
    // Too many records for any image of this size: these are other bytes, not a damaged image.
    return "not a translation image: the first 4 of the " + std::to_string(image.size()) +
           " decoded bytes would count " + std::to_string(check.recordCount) + " records" + otherBytes;
  }
  const std::string why = !check.hasCount ? "the image is shorter than its record count"
                                          : "record " + std::to_string(check.badRecord) + " of " +
                                                std::to_string(check.recordCount) + " runs past the image's end";
  return "data corrupted; " + why + otherBytes;
}

}  // namespace

void AddDecompressOptions(CLI::App* command, DecompressOptions* options) {
  command->add_option("IN", options->input, "resource file (or a bare framed stream with --raw)")->required();
  command->add_option("OUT", options->output, "decoded bytes; written only when decoding succeeds")->required();
  auto* raw = command->add_flag("--raw", options->raw, "IN is a bare framed stream without the size header");
  auto* size = command->add_option("--size", options->size, "destination capacity in bytes (with --raw)");
  auto* data = command->add_flag("--data", options->data,
                                 "IN holds other bytes than translations (as compress writes any file): no image check");
  command->add_flag("--force", options->force, "OUT may replace an existing .po, .pot or .csv file");
  AddWindowOption(command, &options->window);
  raw->needs(size);
  size->needs(raw);
  raw->excludes(data);
}

int RunDecompress(DecompressOptions& options) {
  // A translation image is binary; other bytes (--data, --raw) may be any file, a PO file too.
  CommandPaths paths{{options.input}, {}, {}, options.force};
  (options.data || options.raw ? paths.outputs : paths.binaryOutputs).push_back(options.output);
  CheckCommandPaths(paths);
  const std::vector<uint8_t> input = ReadFileBytes(options.input);
  BoundedDecode decoded;
  if (options.raw) {
    decoded = DecodeBounded(input.data(), input.size(), options.size, options.window);
    const auto otherWindow = [&] { return OtherWindow(input.data(), input.size(), options.size, options.window, 0); };
    const std::string problem = DecodeProblem(decoded, std::nullopt);
    if (!problem.empty()) throw CommandError(problem + otherWindow());
    if (decoded.bytes.empty()) throw CommandError("nothing decoded from " + options.input + otherWindow());
  } else {
    const TranslationResourceParts parts = SplitTranslationResource(input, options.input);
    decoded = DecodeBounded(parts.stream, parts.streamSize, parts.imageSize, options.window);
    const std::string problem = DecodeProblem(decoded, parts.imageSize);
    if (!problem.empty()) {
      throw CommandError(problem + OtherWindow(parts.stream, parts.streamSize, parts.imageSize, options.window,
                                               parts.imageSize));
    }
    if (!options.data) {
      const std::string imageProblem = ImageProblem(decoded.bytes);
      if (!imageProblem.empty()) throw CommandError(imageProblem);
    }
  }
  WriteFileAtomically(options.output, decoded.bytes);
  std::printf("%zu bytes -> %zu bytes\n", input.size(), decoded.bytes.size());
  return kExitDone;
}

}  // namespace vykcn::tool
