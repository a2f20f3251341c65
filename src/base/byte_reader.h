// The one bounds-checked way the readers take bytes from a file image in memory. Every read
// names what it wants and fails, moving nothing, when those bytes are not all there: running
// out of input is an error, never a silent zero. Reads at an offset serve the formats that
// point into themselves (TIFF, BMP); the sequential reads serve the streams (RLE, logs,
// libpng's and libjpeg's input).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pv {

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const uint8_t* data, size_t size, bool bigEndian = false)
      : data_(data), size_(data ? size : 0), big_(bigEndian) {}

  size_t size() const { return size_; }
  size_t position() const { return position_; }
  size_t remaining() const { return size_ - position_; }

  // ---- at an offset from the start ----
  bool Has(uint64_t offset, uint64_t n) const { return offset <= size_ && n <= size_ - offset; }
  // The bytes at `offset`, for a range that Has() accepted.
  const uint8_t* At(uint64_t offset) const { return data_ + offset; }
  // An unsigned value of 1, 2 or 4 bytes in the reader's byte order.
  bool Read(uint64_t offset, int bytes, uint32_t* value) const {
    if (bytes < 1 || bytes > 4 || !Has(offset, static_cast<uint64_t>(bytes))) return false;
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
      v |= static_cast<uint32_t>(data_[offset + i]) << 8 * (big_ ? bytes - 1 - i : i);
    *value = v;
    return true;
  }
  // The `n` bytes at `offset` as a reader of their own (a chunk, a strip, a record); an empty
  // reader when they are not all there.
  ByteReader Sub(uint64_t offset, uint64_t n) const {
    return Has(offset, n) ? ByteReader(data_ + offset, static_cast<size_t>(n), big_) : ByteReader();
  }

  // ---- in sequence, from the position ----
  bool Need(uint64_t n) const { return n <= remaining(); }
  // The next `n` bytes, then past them.
  bool Take(size_t n, const uint8_t** bytes) {
    if (!Need(n)) return false;
    *bytes = data_ + position_;
    position_ += n;
    return true;
  }
  // The next value of 1, 2 or 4 bytes, then past it.
  bool Next(int bytes, uint32_t* value) {
    if (!Read(position_, bytes, value)) return false;
    position_ += static_cast<size_t>(bytes);
    return true;
  }
  bool Skip(size_t n) {
    if (!Need(n)) return false;
    position_ += n;
    return true;
  }
  // Copies `n` bytes and moves past them. When fewer remain it copies those, stays put and
  // answers the shorter count, which the caller must treat as an error.
  size_t CopyOut(uint8_t* out, size_t n) {
    const size_t copied = std::min(n, remaining());
    if (copied) std::memcpy(out, data_ + position_, copied);
    if (copied == n) position_ += n;
    return copied;
  }
  // Moves to `offset` when it lies within the bytes (the end included).
  bool Seek(size_t offset) {
    if (offset > size_) return false;
    position_ = offset;
    return true;
  }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
  bool big_ = false;
};

}  // namespace pv
