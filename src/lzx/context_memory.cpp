#include "lzx/context_memory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <new>
#endif

namespace vykcn {

#ifdef _WIN32

void* AllocateContextMemory(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void FreeContextMemory(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

#else

void* AllocateContextMemory(size_t size) { return ::operator new(size, std::nothrow); }

void FreeContextMemory(void* block) { ::operator delete(block); }

#endif

}  // namespace vykcn
