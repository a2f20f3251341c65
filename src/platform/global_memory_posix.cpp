#include "platform/global_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace pv::mem {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer must see every block
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Picture-sized blocks are mapped on 2 MiB boundaries. Those written whole are offered huge
// pages: a fresh 36 MB block otherwise costs thousands of page faults before its first byte is
// written. Sparse ones are kept off them, since a huge page commits 2 MiB for one touched byte.
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kMappedFrom = size_t{8} << 20;

size_t MappedLength(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

// Zeroed storage of `bytes`; `mapped` tells Release how it was made. Null without memory.
uint8_t* AllocateZeroed(size_t bytes, Filling filling, bool* mapped) {
  *mapped = false;
  if (kSanitized || bytes < kMappedFrom || bytes > SIZE_MAX - 2 * kHugePage)
    return static_cast<uint8_t*>(std::calloc(bytes, 1));
  const size_t length = MappedLength(bytes);
  void* region =
      mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (region == MAP_FAILED) return nullptr;
  // Keep the aligned part, give back the rest.
  auto* start = static_cast<uint8_t*>(region);
  const size_t head = (kHugePage - reinterpret_cast<uintptr_t>(start) % kHugePage) % kHugePage;
  if (head) munmap(start, head);
  if (kHugePage - head) munmap(start + head + length, kHugePage - head);
  // Only advice: without it the block still works.
  madvise(start + head, length, filling == Filling::Whole ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
  *mapped = true;
  return start + head;
}

void Release(uint8_t* data, size_t size, bool mapped) {
  if (mapped)
    munmap(data, MappedLength(size));
  else
    std::free(data);
}

// Storage of `size` bytes regrown to `bytes`, the added part zeroed; null (the old storage
// untouched) without memory. Mapped storage is remapped, so growing a large block copies
// nothing.
uint8_t* Regrow(uint8_t* data, size_t size, size_t bytes, bool* mapped) {
  if (*mapped) {
    if (bytes == 0 || bytes > SIZE_MAX - 2 * kHugePage) return nullptr;
    void* moved = mremap(data, MappedLength(size), MappedLength(bytes), MREMAP_MAYMOVE);
    return moved == MAP_FAILED ? nullptr : static_cast<uint8_t*>(moved);  // new pages are zero
  }
  auto* grown = static_cast<uint8_t*>(std::realloc(data, bytes ? bytes : 1));
  if (grown && bytes > size) std::memset(grown + size, 0, bytes - size);
  return grown;
}

// Handles are slot numbers plus one, never addresses: an unknown or stale handle is
// recognised instead of being dereferenced.
struct Slot {
  uint8_t* data = nullptr;
  size_t size = 0;
  uint32_t locks = 0;
  bool live = false;
  bool mapped = false;
};

class Table {
 public:
  Handle Add(uint8_t* data, size_t size, bool mapped) {
    std::lock_guard<std::mutex> guard(mutex_);
    size_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      index = slots_.size();
      slots_.emplace_back();
    }
    slots_[index] = Slot{data, size, 0, true, mapped};
    return reinterpret_cast<Handle>(index + 1);
  }

  bool Remove(Handle h) {
    std::lock_guard<std::mutex> guard(mutex_);
    Slot* slot = Find(h);
    if (!slot) return false;
    Release(slot->data, slot->size, slot->mapped);
    *slot = Slot{};
    free_.push_back(reinterpret_cast<size_t>(h) - 1);
    return true;
  }

  bool Resize(Handle h, size_t bytes) {
    std::lock_guard<std::mutex> guard(mutex_);
    Slot* slot = Find(h);
    if (!slot || slot->locks > 0) return false;
    uint8_t* data = Regrow(slot->data, slot->size, bytes, &slot->mapped);
    if (!data) return false;
    slot->data = data;
    slot->size = bytes;
    return true;
  }

  size_t SizeOf(Handle h) {
    std::lock_guard<std::mutex> guard(mutex_);
    Slot* slot = Find(h);
    return slot ? slot->size : 0;
  }

  void* Lock(Handle h) {
    std::lock_guard<std::mutex> guard(mutex_);
    Slot* slot = Find(h);
    if (!slot || slot->size == 0) return nullptr;
    ++slot->locks;
    return slot->data;
  }

  void Unlock(Handle h) {
    std::lock_guard<std::mutex> guard(mutex_);
    Slot* slot = Find(h);
    if (slot && slot->locks > 0) --slot->locks;
  }

  void Count(size_t* blocks, size_t* bytes) {
    std::lock_guard<std::mutex> guard(mutex_);
    *blocks = slots_.size() - free_.size();
    *bytes = 0;
    for (const Slot& slot : slots_) *bytes += slot.size;
  }

 private:
  Slot* Find(Handle h) {
    size_t index = reinterpret_cast<size_t>(h) - 1;
    if (h == nullptr || index >= slots_.size() || !slots_[index].live) return nullptr;
    return &slots_[index];
  }

  std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<size_t> free_;
};

Table& Blocks() {
  static Table* table = new Table;  // never destroyed: blocks may be freed during exit
  return *table;
}

}  // namespace

Handle Alloc(size_t bytes, Filling filling) {
  uint8_t* data = nullptr;
  bool mapped = false;
  if (bytes > 0) {
    data = AllocateZeroed(bytes, filling, &mapped);
    if (!data) return nullptr;
  }
  return Blocks().Add(data, bytes, mapped);
}

bool Free(Handle h) { return h == nullptr || Blocks().Remove(h); }

bool Resize(Handle h, size_t bytes) { return Blocks().Resize(h, bytes); }

size_t Size(Handle h) { return Blocks().SizeOf(h); }

void* Lock(Handle h) { return Blocks().Lock(h); }

void Unlock(Handle h) { Blocks().Unlock(h); }

bool CountLive(size_t* blocks, size_t* bytes) {
  Blocks().Count(blocks, bytes);
  return true;
}

}  // namespace pv::mem
