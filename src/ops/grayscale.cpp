#include "ops/grayscale.h"

#include <algorithm>

#include "dib/dib_pixels.h"
#include "ops/byte_table.h"

namespace pv {
namespace {

// The low byte of a sum truncated to a 32-bit integer. A sum beyond that range (or NaN) truncates
// to the integer-indefinite value 0x80000000, whose low byte is 0.
uint8_t LowByte(double sum) {
  if (!(sum > -2147483649.0 && sum < 2147483648.0)) return 0;
  return static_cast<uint8_t>(static_cast<int32_t>(sum));
}

// Calls `convert` with the grey value of red, green and blue under the method.
template <typename Convert>
void WithMethod(const GrayMethod& m, Convert&& convert) {
  using U = uint32_t;
  switch (m.code) {
    case 0:
      return convert(
          [](U r, U g, U b) { return uint8_t((313431u * r + 615106u * g + 120038u * b) >> 20); });
    case 1: return convert([](U r, U g, U b) { return uint8_t((2 * r + 4 * g + b) / 7); });
    case 2: return convert([](U r, U g, U b) { return uint8_t((r + g + b) / 3); });
    case 3: return convert([](U r, U, U) { return uint8_t(r); });
    case 4: return convert([](U, U g, U) { return uint8_t(g); });
    case 5: return convert([](U, U, U b) { return uint8_t(b); });
    case 6:
      return convert([m](U r, U g, U b) { return LowByte(r * m.red + g * m.green + b * m.blue); });
    default:
      return convert([](U r, U g, U b) {
        return uint8_t((std::max({r, g, b}) + std::min({r, g, b})) >> 1);
      });
  }
}

// Palette images: the grey of each table entry once, then every index through that table.
template <typename Gray>
void IndexedRows(const DibView& src, const DibView& dst, Gray gray) {
  ByteTable table{};
  for (size_t i = 0; i < TableEntries(src.bitCount()); ++i) {
    const uint8_t* entry = src.table + 4 * i;
    table[i] = gray(entry[2], entry[1], entry[0]);
  }
  const int bits = src.bitCount();
  for (int32_t y = 0; y < src.height(); ++y) {
    const uint8_t* in = src.row(y);
    uint8_t* out = dst.row(y);
    if (bits == 8)
      MapBytes(in, out, static_cast<size_t>(src.width()), table);
    else
      for (int32_t x = 0; x < src.width(); ++x) out[x] = table[PackedGet(in, x, bits)];
  }
}

// 16-, 24- and 32-bit images: the grey of every pixel from its own colour.
template <size_t Bytes, typename Gray>
void DirectRows(const DibView& src, const DibView& dst, Gray gray) {
  for (int32_t y = 0; y < src.height(); ++y) {
    const uint8_t* in = src.row(y);
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < src.width(); ++x, in += Bytes) {
      if constexpr (Bytes == 2) {
        uint8_t bgr[3];
        Unpack16(in, bgr);
        out[x] = gray(bgr[2], bgr[1], bgr[0]);
      } else {
        out[x] = gray(in[2], in[1], in[0]);
      }
    }
  }
}

}  // namespace

bool GrayMethod::Valid() const {
  if (code < 0 || code > 7) return false;
  return code != 6 || red != 0.0 || green != 0.0 || blue != 0.0;
}

Result ConvertToGray(const DibView& src, const GrayMethod& method, mem::Handle* out) {
  DibBuilder dst(src.header, 8);
  if (dst.status() != Result::Ok) return dst.status();
  dst.header().clrUsed = dst.header().clrImportant = 256;
  dst.StoreHeader();
  WriteGrayRamp(dst.view().table);
  WithMethod(method, [&](auto gray) {
    switch (src.bitCount()) {
      case 16: return DirectRows<2>(src, dst.view(), gray);
      case 24: return DirectRows<3>(src, dst.view(), gray);
      case 32: return DirectRows<4>(src, dst.view(), gray);
      default: return IndexedRows(src, dst.view(), gray);
    }
  });
  *out = dst.Release();
  return Result::Ok;
}

}  // namespace pv
