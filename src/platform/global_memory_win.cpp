#include "platform/global_memory.h"

#include <windows.h>

namespace pv::mem {

// GlobalAlloc never offers large pages: every filling costs the pages it touches.
Handle Alloc(size_t bytes, Filling) { return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes); }

bool Free(Handle h) { return h == nullptr || GlobalFree(static_cast<HGLOBAL>(h)) == nullptr; }

bool Resize(Handle h, size_t bytes) {
  // A movable block keeps its handle when it moves.
  return h && GlobalReAlloc(static_cast<HGLOBAL>(h), bytes, GMEM_MOVEABLE | GMEM_ZEROINIT) == h;
}

size_t Size(Handle h) { return h ? GlobalSize(static_cast<HGLOBAL>(h)) : 0; }

void* Lock(Handle h) { return h ? GlobalLock(static_cast<HGLOBAL>(h)) : nullptr; }

void Unlock(Handle h) {
  if (h) GlobalUnlock(static_cast<HGLOBAL>(h));
}

bool CountLive(size_t*, size_t*) { return false; }

}  // namespace pv::mem
