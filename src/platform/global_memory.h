// Movable global memory blocks: the unit in which images and every other block cross an
// interface. On Windows these are real GlobalAlloc blocks, so handles can be exchanged with
// hosts; elsewhere a small handle table gives the same semantics.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pv::mem {

using Handle = void*;

// How a new block will be written. A whole block is filled end to end soon after it is made,
// so large ones may be given huge pages; a sparse one may be touched only here and there (a
// run-length picture's runs), and each page it touches must cost no more than itself.
enum class Filling { Whole, Sparse };

// Allocates a zero-initialised movable block; null when the memory cannot be had.
Handle Alloc(size_t bytes, Filling filling = Filling::Whole);
// Frees a block; null is allowed. Returns false for a handle that is not a live block.
bool Free(Handle h);
// Size in bytes of a live block; 0 for null or an unknown handle.
size_t Size(Handle h);
// Grows or shrinks an unlocked block to `bytes`, keeping its contents and zeroing what is
// added; the handle stays the same. False, with the block unchanged, without memory.
bool Resize(Handle h, size_t bytes);
// The blocks alive now and their bytes, for leak checks. False where the blocks are the
// system's own (Windows), which keeps no such count for a process.
bool CountLive(size_t* blocks, size_t* bytes);
// Lock for access; null for null, an unknown handle or an empty block.
void* Lock(Handle h);
void Unlock(Handle h);

// Keeps a block locked for the lifetime of the object.
class Locked {
 public:
  explicit Locked(Handle h)
      : handle_(h), data_(static_cast<uint8_t*>(Lock(h))), size_(data_ ? Size(h) : 0) {}
  ~Locked() {
    if (data_) Unlock(handle_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  Handle handle_;
  uint8_t* data_;
  size_t size_;
};

// Owns a block until it is released to a new owner.
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : handle_(h) {}
  ~Owned() { Free(handle_); }
  Owned(Owned&& o) noexcept : handle_(o.release()) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return handle_; }
  Handle release() {
    Handle h = handle_;
    handle_ = nullptr;
    return h;
  }
  void reset(Handle h = nullptr) {
    Free(handle_);
    handle_ = h;
  }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

// A new block holding a copy of `bytes`; null when out of memory.
Handle AllocCopy(const void* bytes, size_t size);

}  // namespace pv::mem
