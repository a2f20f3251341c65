#include "formats/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace pv {

bool WriteStream::Append(const uint8_t* bytes, size_t n) {
  if (n == 0) return true;
  if (n > bytes_.max_size() - bytes_.size()) return false;
  try {
    if (n > bytes_.capacity() - bytes_.size())
      bytes_.reserve(std::max({bytes_.size() + n, 2 * bytes_.capacity(), size_t{4096}}));
    bytes_.insert(bytes_.end(), bytes, bytes + n);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

Result WriteStream::TakeBlock(mem::Handle* block, int32_t* size) {
  std::vector<uint8_t> bytes;
  bytes.swap(bytes_);
  if (bytes.empty() || bytes.size() > INT32_MAX) return Result::OutOfMemory;
  mem::Handle copy = mem::AllocCopy(bytes.data(), bytes.size());
  if (!copy) return Result::OutOfMemory;
  *block = copy;
  *size = static_cast<int32_t>(bytes.size());
  return Result::Ok;
}

}  // namespace pv
