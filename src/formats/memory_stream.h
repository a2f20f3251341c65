// The memory streams that codec libraries read file images from and write them into.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/byte_reader.h"
#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

// Reads a whole file image front to back.
class ReadStream {
 public:
  ReadStream(const uint8_t* base, size_t size, size_t position = 0) : bytes_(base, size) {
    bytes_.Seek(std::min(position, size));
  }

  // Copies `n` bytes and advances; when fewer remain, copies those, stays put and reports the
  // shorter count, which a reader must treat as an error.
  size_t Read(uint8_t* out, size_t n) { return bytes_.CopyOut(out, n); }

 private:
  ByteReader bytes_;
};

// A file image being written, straight into the block it is handed out as. Capacity grows
// geometrically, so a writer that appends in small pieces still costs time linear in the
// output; a large block grows by remapping, so growing copies nothing and the image is never
// held twice.
class WriteStream {
 public:
  WriteStream() = default;
  ~WriteStream() { mem::Free(block_); }
  WriteStream(const WriteStream&) = delete;
  WriteStream& operator=(const WriteStream&) = delete;

  // False (nothing appended) when memory runs out.
  bool Append(const uint8_t* bytes, size_t n);
  size_t size() const { return size_; }

  // Hands the bytes out as a block of their size: 7 when nothing was written, the image is too
  // large for a 32-bit size, or the block cannot be had. The stream is emptied either way.
  Result TakeBlock(mem::Handle* block, int32_t* size);

 private:
  bool Reserve(size_t bytes);

  mem::Handle block_ = nullptr;
  size_t size_ = 0, capacity_ = 0;
};

}  // namespace pv
