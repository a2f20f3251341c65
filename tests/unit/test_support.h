// Small builders shared by the unit tests: DIBs, blocks and files from bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "automation/portable_control.h"
#include "base/bytes.h"
#include "dib/dib.h"
#include "platform/global_memory.h"

namespace pv::test {

using Bytes = std::vector<uint8_t>;

inline mem::Handle BlockOf(const Bytes& bytes) {
  return mem::AllocCopy(bytes.data(), bytes.size());
}

inline Bytes BytesOf(mem::Handle block) {
  mem::Locked locked(block);
  return locked ? Bytes(locked.data(), locked.data() + locked.size()) : Bytes();
}

// A DIB of the model's layout; `pixel(x, y)` gives the value of picture pixel (x, y), y = 0 at the
// top: a palette index for up to 8 bits, 0xRRGGBB above.
inline Bytes MakeDibBytes(int32_t width, int32_t height, int bits, const Bytes& table,
                          const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  const size_t stride = *DibStride(width, bits);
  Bytes dib(PixelOffset(bits) + stride * height, 0);
  DibHeader h;
  h.width = width;
  h.height = height;
  h.bitCount = static_cast<uint16_t>(bits);
  h.sizeImage = static_cast<uint32_t>(stride * height);
  h.Write(dib.data());
  std::copy(table.begin(), table.end(), dib.begin() + kDibHeaderBytes);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.data() + PixelOffset(bits) + stride * (height - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = pixel(x, y);
      if (bits <= 8) {
        const int shift = 8 - bits - (x * bits) % 8;
        row[x * bits / 8] |= static_cast<uint8_t>(v << shift);
      } else if (bits == 16) {
        row[2 * x] = static_cast<uint8_t>(v);
        row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      } else {
        uint8_t* p = row + x * (bits / 8);
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
      }
    }
  }
  return dib;
}

inline mem::Handle MakeDib(int32_t width, int32_t height, int bits, const Bytes& table,
                           const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  return BlockOf(MakeDibBytes(width, height, bits, table, pixel));
}

// A table whose entry i is (blue, green, red) = colour(i).
inline Bytes Table(size_t entries, const std::function<uint32_t(size_t)>& color) {
  Bytes table(4 * entries, 0);
  for (size_t i = 0; i < entries; ++i) {
    const uint32_t c = color(i);
    table[4 * i] = static_cast<uint8_t>(c);
    table[4 * i + 1] = static_cast<uint8_t>(c >> 8);
    table[4 * i + 2] = static_cast<uint8_t>(c >> 16);
  }
  return table;
}

inline Bytes GrayRamp() {
  return Table(256, [](size_t i) { return static_cast<uint32_t>(i * 0x010101); });
}

// A BMP file: file header in front of the DIB bytes.
inline Bytes BmpFile(const Bytes& dib, size_t tableBytes) {
  Bytes file(14, 0);
  file[0] = 'B';
  file[1] = 'M';
  WriteU32(&file[2], static_cast<uint32_t>(14 + dib.size()));
  WriteU32(&file[10], static_cast<uint32_t>(54 + tableBytes));
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

// Colour (0xRRGGBB) of picture pixel (x, y) of a valid DIB, whatever its depth.
uint32_t ColorAt(mem::Handle dib, int32_t x, int32_t y);

// Pixels of a binary PNM (P6 colour or P5 grey, maxval 255) as 0xRRGGBB, top row first.
std::vector<uint32_t> ReadPnm(const std::string& path, int32_t* width, int32_t* height);
// A 24-bit DIB of a PNM's pixels.
mem::Handle DibFromPnm(const std::string& path);
// Every pixel of a DIB equals the reference PNM's (a gtest failure names the first that differs).
void ExpectPixelsOf(mem::Handle dib, const std::string& pnmPath);

std::string FixturePath(const std::string& name);

// Runs a member by its call name as the host does (recording its Log entry): the arguments for
// its parameters in order (as long and as floating value each), blocks it hands out freed; pVal.
int64_t Invoke(PortableControl& control, const std::string& callName,
               const std::vector<double>& args = {});
Bytes ReadFile(const std::string& path);
std::string TempPath(const std::string& name);

// The bytes of a fixture file.
inline Bytes Fixture(const std::string& name) { return ReadFile(FixturePath(name)); }

// Runs a codec's reader on file bytes; the DIB it makes, if any, goes to `dib`.
template <typename Codec>
Result ReadWith(const Bytes& file, mem::Owned* dib) {
  mem::Owned block(BlockOf(file));
  mem::Handle out = nullptr;
  const Result result = Codec().Read(block.get(), &out);
  dib->reset(out);
  return result;
}

// The file a codec's writer (one without options) makes of a DIB, expected to succeed.
template <typename Codec>
Bytes WrittenBy(mem::Handle dib) {
  mem::Handle file = nullptr;
  int32_t size = 0;
  EXPECT_EQ(Codec().Write(dib, &file, &size), Result::Ok);
  mem::Owned owned(file);
  Bytes bytes = BytesOf(file);
  EXPECT_EQ(bytes.size(), static_cast<size_t>(size));
  return bytes;
}

}  // namespace pv::test
