// Expansion of run-length-encoded 8- and 4-bit bitmaps into plain DIBs.
//
// The output position is (row, x); a pixel is written at row × stride + x × bits / 8, so runs
// longer than a row spill into the next one as in the stream's own addressing. Pixels that fall
// outside the pixel block are dropped, and decoding ends once the row counter leaves the
// picture: a malformed stream can never write outside the block. A code cut off by the end of
// the input is an error (5).
#include <algorithm>
#include <cstring>

#include "base/byte_reader.h"
#include "base/bytes.h"
#include "dib/dib.h"
#include "formats/bmp_codec.h"

namespace pv {
namespace {

class RleDecoder {
 public:
  RleDecoder(ByteReader in, const DibView& out) : in_(in), out_(out), bits_(out.bitCount()) {}

  Result Run() {
    while (in_.remaining() > 0 && row_ < static_cast<uint64_t>(out_.height())) {
      const uint8_t* code = nullptr;
      if (!in_.Take(2, &code)) return Result::BadHeader;
      const uint8_t first = code[0], second = code[1];
      if (first > 0) {
        Repeat(first, second);
      } else if (second == 0) {
        ++row_;
        x_ = 0;
      } else if (second == 1) {
        break;
      } else if (second == 2) {
        const uint8_t* delta = nullptr;
        if (!in_.Take(2, &delta)) return Result::BadHeader;
        x_ += delta[0];
        row_ += delta[1];
      } else if (!Absolute(second)) {
        return Result::BadHeader;
      }
    }
    return Result::Ok;
  }

 private:
  // Pixel `value` at the current position, which then advances by one.
  void Put(uint8_t value) {
    const uint64_t offset = row_ * out_.stride + (bits_ == 8 ? x_ : x_ / 2);
    if (offset < out_.imageBytes()) {
      uint8_t* p = out_.bits + offset;
      if (bits_ == 8)
        *p = value;
      else
        *p |= static_cast<uint8_t>((x_ & 1) ? value & 0x0F : value << 4);
    }
    ++x_;
  }

  void Repeat(int count, uint8_t value) {
    for (int i = 0; i < count; ++i) Put(bits_ == 8 ? value : ((i & 1) ? value & 0x0F : value >> 4));
  }

  bool Absolute(int count) {
    const size_t dataBytes = bits_ == 8 ? count : (count + 1) / 2;
    const uint8_t* data = nullptr;
    if (!in_.Take(dataBytes, &data)) return false;
    for (int i = 0; i < count; ++i)
      Put(bits_ == 8 ? data[i] : ((i & 1) ? data[i / 2] & 0x0F : data[i / 2] >> 4));
    // Absolute data is padded to a 16-bit boundary (the last pad may be cut off).
    if (dataBytes & 1) in_.Skip(std::min<size_t>(1, in_.remaining()));
    return true;
  }

  ByteReader in_;
  const DibView& out_;
  int bits_;
  uint64_t row_ = 0;
  uint64_t x_ = 0;
};

Result Expand(mem::Handle compressed, int bitCount, mem::Handle* dib) {
  mem::Locked in(compressed);
  if (!in || in.size() < kDibHeaderBytes || !dib) return Result::BadParameter;
  const DibHeader h = DibHeader::Read(in.data());
  if (h.bitCount != bitCount) return Result::BadHeader;
  const size_t offset = PixelOffset(bitCount);
  if (in.size() < offset || h.width <= 0 || h.height <= 0) return Result::BadHeader;

  // Deltas and line ends skip pixels: the stream may touch only a few rows of a huge picture.
  DibBuilder out(h, bitCount, mem::Filling::Sparse);
  if (out.status() != Result::Ok) return out.status();
  std::memcpy(out.view().table, in.data() + kDibHeaderBytes, offset - kDibHeaderBytes);
  const size_t count = std::min<size_t>(h.sizeImage, in.size() - offset);
  const Result decoded = RleDecoder(ByteReader(in.data() + offset, count), out.view()).Run();
  if (decoded != Result::Ok) return decoded;
  *dib = out.Release();
  return Result::Ok;
}

}  // namespace

Result BmpCodec::ExpandRle8(mem::Handle compressed, mem::Handle* dib) const {
  return Expand(compressed, 8, dib);
}

Result BmpCodec::ExpandRle4(mem::Handle compressed, mem::Handle* dib) const {
  return Expand(compressed, 4, dib);
}

}  // namespace pv
