#include "formats/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace pv {

bool WriteStream::Reserve(size_t bytes) {
  if (bytes <= capacity_) return true;
  if (!block_) {
    block_ = mem::Alloc(bytes);
    if (!block_) return false;
  } else if (!mem::Resize(block_, bytes)) {
    return false;
  }
  capacity_ = bytes;
  return true;
}

bool WriteStream::Append(const uint8_t* bytes, size_t n) {
  if (n == 0) return true;
  if (n > SIZE_MAX / 2 - size_) return false;
  if (n > capacity_ - size_ && !Reserve(std::max({size_ + n, 2 * capacity_, size_t{4096}})) &&
      !Reserve(size_ + n))
    return false;
  mem::Locked out(block_);
  if (!out) return false;
  std::memcpy(out.data() + size_, bytes, n);
  size_ += n;
  return true;
}

Result WriteStream::TakeBlock(mem::Handle* block, int32_t* size) {
  mem::Owned bytes(block_);
  const size_t length = size_;
  block_ = nullptr;
  size_ = capacity_ = 0;
  if (length == 0 || length > INT32_MAX || !mem::Resize(bytes.get(), length))
    return Result::OutOfMemory;
  *block = bytes.release();
  *size = static_cast<int32_t>(length);
  return Result::Ok;
}

}  // namespace pv
