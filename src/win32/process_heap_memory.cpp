// Decompression contexts from the process heap, as the module's contract requires.
#include <windows.h>

#include "platform/decoder_memory.h"

namespace vykcn {

void* AllocateContextMemory(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void FreeContextMemory(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace vykcn
