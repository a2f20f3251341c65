#include "platform/global_memory.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace pv::mem {
namespace {

// Handles are slot numbers plus one, never addresses: an unknown or stale handle is
// recognised instead of being dereferenced.
struct Slot {
  uint8_t* data = nullptr;
  size_t size = 0;
  uint32_t locks = 0;
  bool live = false;
};

class Table {
 public:
  Handle Add(uint8_t* data, size_t size) {
    std::lock_guard<std::mutex> guard(mutex_);
    size_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      index = slots_.size();
      slots_.emplace_back();
    }
    slots_[index] = Slot{data, size, 0, true};
    return reinterpret_cast<Handle>(index + 1);
  }

  bool Remove(Handle h) {
    std::lock_guard<std::mutex> guard(mutex_);
    Slot* slot = Find(h);
    if (!slot) return false;
    std::free(slot->data);
    *slot = Slot{};
    free_.push_back(reinterpret_cast<size_t>(h) - 1);
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

Handle Alloc(size_t bytes) {
  uint8_t* data = nullptr;
  if (bytes > 0) {
    data = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (!data) return nullptr;
  }
  return Blocks().Add(data, bytes);
}

bool Free(Handle h) { return h == nullptr || Blocks().Remove(h); }

size_t Size(Handle h) { return Blocks().SizeOf(h); }

void* Lock(Handle h) { return Blocks().Lock(h); }

void Unlock(Handle h) { Blocks().Unlock(h); }

}  // namespace pv::mem
