#pragma once
// What a load of the translation table came to: the one result of the module's load path, from
// the resource read through the decode to the table fill (translation_loader.h).
namespace vykcn {

enum class LoadStatus {
  kLoaded,          // the table holds the image's records (an image of 0 records included)
  kNoResource,      // the module's image or its translation resource could not be had
  kShortResource,   // the resource is shorter than its size header
  kOutOfMemory,     // no memory for the image, the decoder's context or the table's index
  kDecodeFailed,    // the decoder failed (a chunk's header or data past the stream, or a chunk past the image)
  kSizeMismatch,    // the stream decoded to a size other than the one the resource states
  kMalformedImage,  // the image's record count or one of its records runs past its end
};

}  // namespace vykcn
