#include "ops/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/bytes.h"
#include "dib/dib_pixels.h"

namespace pv {
namespace {

DibHeader Resized(const DibHeader& header, int32_t width, int32_t height) {
  DibHeader h = header;
  h.width = width;
  h.height = height;
  return h;
}

// biClrUsed entries, or the full table when it is 0.
size_t CopiedEntries(const DibHeader& h) {
  const size_t full = TableEntries(h.bitCount);
  return h.clrUsed != 0 ? std::min<size_t>(h.clrUsed, full) : full;
}

// Writes `fill` into every pixel of the first memory row, then repeats that row.
void FillPixels(const DibView& dib, uint32_t fill) {
  const int bits = dib.bitCount();
  uint8_t* first = dib.row(0);
  const uint8_t pattern[4] = {static_cast<uint8_t>(fill >> 16), static_cast<uint8_t>(fill >> 8),
                              static_cast<uint8_t>(fill), 0};
  for (int32_t x = 0; x < dib.width(); ++x) {
    if (bits <= 8)
      PackedSet(first, x, bits, static_cast<uint8_t>(fill & ((1u << bits) - 1)));
    else if (bits == 16)
      std::memcpy(first + 2 * x, pattern + 1, 2);
    else
      std::memcpy(first + static_cast<size_t>(x) * PixelBytes(bits), pattern, PixelBytes(bits));
  }
  for (int32_t y = 1; y < dib.height(); ++y) std::memcpy(dib.row(y), first, dib.stride);
}

// `count` pixels of one row into another, whole bytes or single bits and nibbles.
void CopyRun(const uint8_t* from, int64_t fromX, uint8_t* to, int64_t toX, int64_t count,
             int bits) {
  if (bits >= 8) {
    const size_t n = PixelBytes(bits);
    std::memcpy(to + toX * n, from + fromX * n, count * n);
    return;
  }
  for (int64_t i = 0; i < count; ++i)
    PackedSet(to, static_cast<int32_t>(toX + i), bits,
              PackedGet(from, static_cast<int32_t>(fromX + i), bits));
}

template <int N>
void MirrorRow(uint8_t* row, int32_t width) {
  for (int32_t x = 0, mirror = width - 1; x < mirror; ++x, --mirror)
    std::swap_ranges(row + x * N, row + x * N + N, row + static_cast<size_t>(mirror) * N);
}

}  // namespace

SameKindDib::SameKindDib(const DibView& src, int32_t width, int32_t height)
    : DibBuilder(Resized(src.header, width, height), src.bitCount()) {
  if (status() == Result::Ok && src.table)
    std::memcpy(view().table, src.table, 4 * CopiedEntries(src.header));
}

Result CopyDib(const DibView& src, mem::Handle* out) {
  SameKindDib dst(src, src.width(), src.height());
  if (dst.status() != Result::Ok) return dst.status();
  std::memcpy(dst.view().bits, src.bits, src.imageBytes());
  *out = dst.Release();
  return Result::Ok;
}

Result MirrorDib(const DibView& dib, int32_t direction) {
  if (dib.bitCount() < 8) return Result::BadBitDepth;
  if (direction == 0) {
    for (int32_t r = 0, other = dib.height() - 1; r < other; ++r, --other)
      std::swap_ranges(dib.row(r), dib.row(r) + dib.stride, dib.row(other));
    return Result::Ok;
  }
  if (direction != 1) return Result::BadParameter;
  for (int32_t r = 0; r < dib.height(); ++r) {
    switch (PixelBytes(dib.bitCount())) {
      case 1: MirrorRow<1>(dib.row(r), dib.width()); break;
      case 2: MirrorRow<2>(dib.row(r), dib.width()); break;
      case 3: MirrorRow<3>(dib.row(r), dib.width()); break;
      default: MirrorRow<4>(dib.row(r), dib.width()); break;
    }
  }
  return Result::Ok;
}

Result CropAndFill(const DibView& src, int64_t left, int64_t top, int64_t width, int64_t height,
                   uint32_t fill, mem::Handle* out) {
  if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX)
    return Result::BadParameter;
  SameKindDib dst(src, static_cast<int32_t>(width), static_cast<int32_t>(height));
  if (dst.status() != Result::Ok) return dst.status();
  FillPixels(dst.view(), fill);
  // The part of the source inside the rectangle, in source picture coordinates.
  const int64_t x0 = std::max<int64_t>(0, left), x1 = std::min<int64_t>(src.width(), left + width);
  const int64_t y0 = std::max<int64_t>(0, top), y1 = std::min<int64_t>(src.height(), top + height);
  for (int64_t y = y0; y < y1 && x0 < x1; ++y) {
    const uint8_t* from = src.row(static_cast<int32_t>(src.height() - 1 - y));
    uint8_t* to = dst.view().row(static_cast<int32_t>(height - 1 - (y - top)));
    CopyRun(from, x0, to, x0 - left, x1 - x0, src.bitCount());
  }
  *out = dst.Release();
  return Result::Ok;
}

Result CanvasOrigin(const DibHeader& header, int32_t width, int32_t height, int32_t placement,
                    int64_t* left, int64_t* top) {
  // Origin along one axis for flags 1 (start), 2 (centre) and 4 (end); false for others.
  auto origin = [](int flags, int64_t spare, int64_t* at) {
    switch (flags) {
      case 1: *at = 0; return true;
      case 2: *at = spare >> 1; return true;  // arithmetic: a growing canvas goes negative
      case 4: *at = spare; return true;
      default: return false;
    }
  };
  const bool placed = origin(placement & 0xFF, int64_t{header.height} - height, top) &&
                      origin((placement >> 8) & 0xFF, int64_t{header.width} - width, left);
  return placed ? Result::Ok : Result::BadParameter;
}

Result MosaicDib(const DibView& dib, int32_t blockSize) {
  if (blockSize < 1 || dib.bitCount() != 24) return Result::BadParameter;
  const int64_t d = blockSize, width = dib.width(), height = dib.height();
  for (int64_t by = 0; by < height; by += d) {
    const int64_t rows = std::min(d, height - by);
    for (int64_t bx = 0; bx < width; bx += d) {
      const int64_t cols = std::min(d, width - bx);
      auto pixelsOf = [&](auto visit) {
        for (int64_t y = by; y < by + rows; ++y) {
          uint8_t* p = dib.row(static_cast<int32_t>(height - 1 - y)) + 3 * bx;
          for (int64_t x = 0; x < cols; ++x, p += 3) visit(p);
        }
      };
      uint64_t sums[3] = {0, 0, 0};
      pixelsOf([&](const uint8_t* p) {
        for (int c = 0; c < 3; ++c) sums[c] += p[c];
      });
      const uint64_t count = static_cast<uint64_t>(rows * cols);
      const uint8_t mean[3] = {static_cast<uint8_t>(sums[0] / count),
                               static_cast<uint8_t>(sums[1] / count),
                               static_cast<uint8_t>(sums[2] / count)};
      pixelsOf([&](uint8_t* p) { std::memcpy(p, mean, 3); });
    }
  }
  return Result::Ok;
}

namespace {

// Appends the samples of picture pixels to a profile block, never past its end.
class ProfileWriter {
 public:
  ProfileWriter(const DibView& src, uint8_t* out, int64_t capacity)
      : src_(src), out_(out), capacity_(capacity), sampleBytes_(src.bitCount() >= 24 ? 3 : 1) {}

  void Take(int64_t x, int64_t y) {
    if (taken_ >= capacity_) return;
    x = std::clamp<int64_t>(x, 0, src_.width() - 1);
    y = std::clamp<int64_t>(y, 0, src_.height() - 1);
    const uint8_t* row = src_.row(static_cast<int32_t>(src_.height() - 1 - y));
    uint8_t* sample = out_ + taken_ * sampleBytes_;
    if (sampleBytes_ == 1) {
      sample[0] = PackedGet(row, static_cast<int32_t>(x), src_.bitCount());
    } else {
      const uint8_t* p = row + x * PixelBytes(src_.bitCount());
      sample[0] = p[2];
      sample[1] = p[1];
      sample[2] = p[0];
    }
    ++taken_;
  }
  int64_t taken() const { return taken_; }

 private:
  const DibView& src_;
  uint8_t* out_;
  int64_t capacity_;
  int sampleBytes_;
  int64_t taken_ = 0;
};

// Left to right along a line that is not vertical; each gap between the rows of two columns is
// filled right after the sample that closes it.
void SampleSlantedLine(ProfileWriter& w, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  // One rounding per coordinate, so that a point exactly halfway between pixels rounds up.
  auto yAt = [&](int64_t x) {
    return static_cast<double>(y0) + static_cast<double>((x - x0) * (y1 - y0)) / (x1 - x0);
  };
  auto xAt = [&](int64_t y) {
    return static_cast<double>(x0) + static_cast<double>((y - y0) * (x1 - x0)) / (y1 - y0);
  };
  auto column = [&](int64_t y) { return static_cast<int64_t>(xAt(y) + 0.5); };
  const bool falls = y1 < y0;
  int64_t p = static_cast<int64_t>(yAt(x0));
  for (int64_t x = x0; x <= x1; ++x) {
    const int64_t q = static_cast<int64_t>(yAt(x) + 0.5);
    w.Take(x, q);
    if (falls && p - 1 > q)
      for (int64_t y = p - 1; y > q; --y) w.Take(column(y), y);
    if (!falls && p + 1 < q)
      for (int64_t y = p + 1; y < q; ++y) w.Take(column(y), y);
    p = q;
  }
}

bool Inside(const DibView& dib, int32_t x, int32_t y) {
  return x >= 0 && x < dib.width() && y >= 0 && y < dib.height();
}

}  // namespace

Result ProfileOf(const DibView& src, int32_t startX, int32_t startY, int32_t endX, int32_t endY,
                 mem::Handle* block, int32_t* count) {
  if (!Inside(src, startX, startY) || !Inside(src, endX, endY)) return Result::BadParameter;
  if (src.bitCount() == 16) return Result::BadBitDepth;
  const double dx = std::abs(int64_t{startX} - endX) + 1, dy = std::abs(int64_t{startY} - endY) + 1;
  const int64_t samples = static_cast<int64_t>(std::sqrt(dx * dx + dy * dy) + 0.5);
  const auto blockBytes = CheckedMul(static_cast<size_t>(samples), src.bitCount() >= 24 ? 3 : 1);
  mem::Owned out(blockBytes ? mem::Alloc(*blockBytes) : nullptr);
  mem::Locked bytes(out.get());
  if (!bytes) return Result::OutOfMemory;
  ProfileWriter writer(src, bytes.data(), samples);
  if (startX == endX) {
    for (int64_t y = std::min(startY, endY); y <= std::max(startY, endY); ++y)
      writer.Take(startX, y);
  } else if (startX < endX) {
    SampleSlantedLine(writer, startX, startY, endX, endY);
  } else {
    SampleSlantedLine(writer, endX, endY, startX, startY);
  }
  *count = static_cast<int32_t>(writer.taken());
  *block = out.release();
  return Result::Ok;
}

}  // namespace pv
