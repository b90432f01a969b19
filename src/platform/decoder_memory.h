#pragma once
// Where a decompression context's block comes from. The decoder only declares these two; the
// program that links it supplies them: the module with the process heap (its contract), the
// toolkit and native tests with the C++ runtime (standard_decoder_memory.cpp). Both return null on
// exhaustion and never throw.
#include <cstddef>

namespace vykcn {

void* AllocateContextMemory(size_t size);
void FreeContextMemory(void* block);

}  // namespace vykcn
