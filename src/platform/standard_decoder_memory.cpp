// Decompression contexts from the C++ runtime, for every program but the module.
#include <new>

#include "platform/decoder_memory.h"

namespace vykcn {

void* AllocateContextMemory(size_t size) { return ::operator new(size, std::nothrow); }

void FreeContextMemory(void* block) { ::operator delete(block); }

}  // namespace vykcn
