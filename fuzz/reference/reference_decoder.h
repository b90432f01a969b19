#pragma once
// The decoder as it was before direct output (commit VYKCN_FUZZ_REFERENCE_COMMIT), frozen for the
// differential fuzz target: fuzz/CMakeLists.txt extracts its sources from git into the fuzz build
// tree and compiles them with the namespace vykcn renamed, and reference_decoder.cpp wraps them in
// these plain functions, so that the current decoder's headers and the frozen ones never meet in one
// translation unit. (The namespace's name must not contain the renamed word.)
#include <cstddef>
#include <cstdint>

namespace reference_lzx {

// As lzx::CreateDecompressionContext with null-free parameters; null when creation fails.
void* Create(uint32_t windowSize, uint32_t flags);
int32_t Decompress(void* context, uint8_t* destination, size_t* destinationSize, const uint8_t* source,
                   size_t sourceSize);
// Sets the window and its mirror to zeros. The frozen decoder reads an in-place match (an offset of
// 0 mod W from an uncompressed block's header) from the window as it finds it, where the rule is
// that bytes a stream has not written read as zeros; run on a cleared window, it follows the rule.
void ClearWindow(void* context);
void Destroy(void* context);

}  // namespace reference_lzx
