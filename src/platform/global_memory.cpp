#include "platform/global_memory.h"

#include <cstring>

namespace pv::mem {

Handle AllocCopy(const void* bytes, size_t size) {
  Owned block(Alloc(size));
  if (!block || size == 0) return block.release();
  Locked target(block.get());
  if (!target) return nullptr;
  std::memcpy(target.data(), bytes, size);
  return block.release();
}

}  // namespace pv::mem
