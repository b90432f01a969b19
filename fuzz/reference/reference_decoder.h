#pragma once
// A frozen decoder (fuzz/frozen_decoder.cmake: the commit the differential fuzz target compares
// with, and the one the decompress benchmark races): its sources come from git into the build
// tree and compile with the namespace vykcn renamed, and reference_decoder.cpp wraps them in these
// plain functions, so that the current decoder's headers and the frozen ones never meet in one
// translation unit. (The namespace's name must not contain the renamed word.)
#include <cstddef>
#include <cstdint>

namespace reference_lzx {

// As lzx::CreateDecompressionContext with null-free parameters; null when creation fails.
void* Create(uint32_t windowSize, uint32_t flags);
int32_t Decompress(void* context, uint8_t* destination, size_t* destinationSize, const uint8_t* source,
                   size_t sourceSize);
// Sets the window and its mirror to zeros. (The decoders before direct output read an in-place
// match, an offset of 0 mod W from an uncompressed block's header, from the window as they found
// it, where the rule is that bytes a stream has not written read as zeros; on a cleared window
// they follow it. Later ones follow it on any window.)
void ClearWindow(void* context);
// Makes the context run the fast loop's baseline copy, whatever the processor offers.
void UseBaselineFastLoop(void* context);
void Destroy(void* context);

}  // namespace reference_lzx
