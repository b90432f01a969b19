#pragma once
// Where a decompression context's block comes from: the process heap on Windows (the module's
// contract), the C++ runtime elsewhere. Both return null on exhaustion and never throw.
#include <cstddef>

namespace vykcn {

void* AllocateContextMemory(size_t size);
void FreeContextMemory(void* block);

}  // namespace vykcn
