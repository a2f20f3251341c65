#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "dib/dib_pixels.h"
#include "document/image_document.h"
#include "formats/memory_stream.h"
#include "formats/png_codec.h"
#include "formats/progress.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

// Progress lines would run into the test report.
class QuietProgress : public ::testing::Environment {
  void SetUp() override { SetProgressStream(nullptr); }
};
const auto* const kQuiet = ::testing::AddGlobalTestEnvironment(new QuietProgress);

// The chunks of a PNG file in order: type and data.
std::vector<std::pair<std::string, Bytes>> Chunks(const Bytes& png) {
  std::vector<std::pair<std::string, Bytes>> chunks;
  for (size_t at = 8; at + 12 <= png.size();) {
    const size_t length =
        static_cast<size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    if (length > png.size() - at - 12) break;
    chunks.emplace_back(std::string(png.begin() + at + 4, png.begin() + at + 8),
                        Bytes(png.begin() + at + 8, png.begin() + at + 8 + length));
    at += 12 + length;
  }
  return chunks;
}

Bytes ChunkData(const Bytes& png, const std::string& type) {
  for (auto& [name, data] : Chunks(png))
    if (name == type) return data;
  return {};
}

Bytes PixelRows(mem::Handle dib) {
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return {};
  return Bytes(lock.view().bits, lock.view().bits + lock.view().imageBytes());
}

TEST(PngReader, ReadsWhatImageMagickAndPnmtopngWrite) {
  const std::pair<const char*, int> files[] = {
      {"png_rgb8", 24},  {"png_rgb8_interlaced", 24},
      {"png_rgb16", 24}, {"png_gray8", 8},
      {"png_pal1", 1},   {"png_pal2", 2},
      {"png_pal4", 4},   {"png_pal8", 8},
  };
  for (const auto& [name, bits] : files) {
    SCOPED_TRACE(name);
    ImageDocument doc;
    // Through the whole dispatch: the BMP reader passes it on.
    ASSERT_EQ(doc.Load(test::FixturePath(std::string(name) + ".png"), 0, 0), Result::Ok);
    EXPECT_EQ(doc.GetBitmapBits(), bits);
    test::ExpectPixelsOf(doc.dib(), test::FixturePath(std::string(name) + ".ppm"));
  }
}

TEST(PngReader, InterlacedAndSixteenBitFilesGiveTheSameDibAsPlainOnes) {
  mem::Owned plain, interlaced, deep;
  ASSERT_EQ(test::ReadWith<PngCodec>(test::Fixture("png_rgb8.png"), &plain), Result::Ok);
  ASSERT_EQ(test::ReadWith<PngCodec>(test::Fixture("png_rgb8_interlaced.png"), &interlaced),
            Result::Ok);
  ASSERT_EQ(test::ReadWith<PngCodec>(test::Fixture("png_rgb16.png"), &deep), Result::Ok);
  EXPECT_EQ(test::BytesOf(interlaced.get()), test::BytesOf(plain.get()));
  EXPECT_EQ(test::BytesOf(deep.get()), test::BytesOf(plain.get()));
}

TEST(PngReader, TablesAreFullWithThePaletteCountInClrUsed) {
  for (const char* name :
       {"png_pal1.png", "png_pal2.png", "png_pal4.png", "png_pal8.png", "png_gray8.png"}) {
    SCOPED_TRACE(name);
    const Bytes file = test::Fixture(name);
    mem::Owned dib;
    ASSERT_EQ(test::ReadWith<PngCodec>(file, &dib), Result::Ok);
    DibLock lock(dib.get());
    ASSERT_EQ(lock.status(), Result::Ok);
    const Bytes plte = ChunkData(file, "PLTE");
    const uint32_t entries = plte.empty() ? 256 : static_cast<uint32_t>(plte.size() / 3);
    EXPECT_EQ(lock.view().header.clrUsed, entries);
    for (uint32_t i = 0; i < TableEntries(lock.view().bitCount()); ++i) {
      const uint8_t* e = lock.view().table + 4 * i;
      const Bytes expected = plte.empty()  ? Bytes{uint8_t(i), uint8_t(i), uint8_t(i), 0}
                             : i < entries ? Bytes{plte[3 * i + 2], plte[3 * i + 1], plte[3 * i], 0}
                                           : Bytes{0, 0, 0, 0};
      ASSERT_EQ(Bytes(e, e + 4), expected) << i;
    }
    if (plte.empty()) {
      EXPECT_EQ(DibGetKind(&lock.view().header, lock.view().table), kKind8BitGray);
    }
  }
  mem::Owned four;
  ASSERT_EQ(test::ReadWith<PngCodec>(test::Fixture("png_pal4.png"), &four), Result::Ok);
  EXPECT_EQ(DibGetPaletteSize(four.get()), 64);  // 16 entries at 4 bits
}

TEST(PngReader, RefusesOpacityAndGreyOtherThanEightBits) {
  for (const char* name : {"png_gray16.png", "png_gray4.png", "png_rgba.png", "png_graya.png"}) {
    ImageDocument doc;
    EXPECT_EQ(doc.Load(test::FixturePath(name), 0, 0), Result::BadHeader) << name;
    EXPECT_EQ(doc.GetWidth(), -1);
  }
}

TEST(PngReader, OtherFormatsAreNotPngs) {
  for (const char* name : {"jpeg_baseline.jpg", "tiff_pal8.tif", "im_8bit.bmp"}) {
    mem::Owned dib;
    EXPECT_EQ(test::ReadWith<PngCodec>(test::Fixture(name), &dib), Result::BadFileFormat) << name;
  }
  mem::Owned dib;
  EXPECT_EQ(test::ReadWith<PngCodec>(Bytes{137, 80, 78}, &dib), Result::BadFileFormat);
  EXPECT_EQ(test::ReadWith<PngCodec>(Bytes{}, &dib), Result::BadFileFormat);
  mem::Handle out = nullptr;
  EXPECT_EQ(PngCodec().Read(nullptr, &out), Result::BadParameter);
  // The first four bytes decide; libpng refuses the rest of a broken signature.
  EXPECT_EQ(test::ReadWith<PngCodec>(Bytes{137, 80, 78, 71, 0, 0, 0, 0}, &dib),
            Result::OutOfMemory);
}

TEST(PngReader, TruncatedOrCorruptFilesEndWithSeven) {
  const Bytes file = test::Fixture("png_rgb8_interlaced.png");
  // Everything up to the last image data is needed; only IEND may be missing.
  for (size_t length = 4; length + 12 < file.size(); ++length) {
    mem::Owned dib;
    ASSERT_EQ(test::ReadWith<PngCodec>(Bytes(file.begin(), file.begin() + length), &dib),
              Result::OutOfMemory)
        << length;
    ASSERT_FALSE(dib);
  }
  Bytes corrupt = file;
  corrupt[corrupt.size() / 2] ^= 0x55;  // inside IDAT: its CRC no longer matches
  mem::Owned dib;
  EXPECT_EQ(test::ReadWith<PngCodec>(corrupt, &dib), Result::OutOfMemory);
}

TEST(PngWriter, PaletteDepthsKeepTheirIndicesAndTable) {
  for (int bits : {1, 2, 4, 8}) {
    SCOPED_TRACE(bits);
    const int entries = 1 << bits;
    const Bytes table =
        test::Table(entries, [](size_t i) { return static_cast<uint32_t>(0x102030 * (i + 1)); });
    mem::Owned dib(test::MakeDib(13, 5, bits, table,
                                 [&](int32_t x, int32_t y) { return (x + 3 * y) % entries; }));
    const Bytes png = test::WrittenBy<PngCodec>(dib.get());
    const Bytes ihdr = ChunkData(png, "IHDR");
    ASSERT_EQ(ihdr.size(), 13u);
    EXPECT_EQ(Bytes(ihdr.begin() + 8, ihdr.end()), (Bytes{uint8_t(bits), 3, 0, 0, 0}));
    EXPECT_EQ(ChunkData(png, "PLTE").size(), 3u * entries);
    mem::Owned back;
    ASSERT_EQ(test::ReadWith<PngCodec>(png, &back), Result::Ok);
    EXPECT_EQ(PixelRows(back.get()), PixelRows(dib.get()));
    EXPECT_EQ(test::ColorAt(back.get(), 12, 4), test::ColorAt(dib.get(), 12, 4));
  }
}

TEST(PngWriter, TrueColourGoesOutAsTheRgbPictureWithGammaAndTime) {
  const auto color = [](int32_t x, int32_t y) {
    return static_cast<uint32_t>(0x0408F8 * x + 0x10C010 * y) & 0xF8F8F8;
  };
  mem::Owned reference(test::MakeDib(7, 4, 24, {}, color));
  for (int bits : {16, 24, 32}) {
    SCOPED_TRACE(bits);
    // The 16-bit layout holds 5 bits per channel; the colours above survive it.
    mem::Owned dib(
        bits == 16 ? test::MakeDib(7, 4, 16, {},
                                   [&](int32_t x, int32_t y) {
                                     const uint32_t c = color(x, y);
                                     uint8_t packed[2];
                                     Pack16(static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                                            static_cast<uint8_t>(c >> 16), packed);
                                     return static_cast<uint32_t>(packed[0] | packed[1] << 8);
                                   })
                   : test::MakeDib(7, 4, bits, {}, color));
    const Bytes png = test::WrittenBy<PngCodec>(dib.get());
    const auto chunks = Chunks(png);
    ASSERT_GE(chunks.size(), 5u);
    EXPECT_EQ(chunks.front().first, "IHDR");
    EXPECT_EQ(Bytes(chunks.front().second.begin() + 8, chunks.front().second.end()),
              (Bytes{8, 2, 0, 0, 0}));
    EXPECT_EQ(ChunkData(png, "gAMA"), (Bytes{0, 1, 0x86, 0xA0}));  // 1.0 as 100000
    EXPECT_EQ(ChunkData(png, "tIME").size(), 7u);
    EXPECT_EQ(chunks.back().first, "IEND");
    mem::Owned back;
    ASSERT_EQ(test::ReadWith<PngCodec>(png, &back), Result::Ok);
    EXPECT_EQ(DibGetBitCount(back.get()), 24);
    EXPECT_EQ(PixelRows(back.get()), PixelRows(reference.get()));
  }
}

TEST(PngWriter, GreyDibsBecomePalettePngsOfTheRamp) {
  mem::Owned dib(
      test::MakeDib(5, 3, 8, test::GrayRamp(), [](int32_t x, int32_t y) { return 50 * x + y; }));
  const Bytes png = test::WrittenBy<PngCodec>(dib.get());
  EXPECT_EQ(ChunkData(png, "IHDR")[9], 3);
  mem::Owned back;
  ASSERT_EQ(test::ReadWith<PngCodec>(png, &back), Result::Ok);
  DibLock lock(back.get());
  EXPECT_EQ(lock.view().header.clrUsed, 256u);
  EXPECT_EQ(DibGetKind(&lock.view().header, lock.view().table), kKind8BitGray);
  EXPECT_EQ(PixelRows(back.get()), PixelRows(dib.get()));
}

TEST(PngWriter, ProgressLinesCountRowsToOneHundred) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  SetProgressStream(sink);
  mem::Owned dib(test::MakeDib(2, 3, 24, {}, [](int32_t, int32_t) { return 0u; }));
  test::WrittenBy<PngCodec>(dib.get());
  SetProgressStream(nullptr);
  std::rewind(sink);
  char text[128] = {};
  const size_t read = std::fread(text, 1, sizeof text - 1, sink);
  std::fclose(sink);
  EXPECT_EQ(std::string(text, read), "\r 33% saved\r 66% saved\r100% saved");
}

TEST(PngWriter, RefusesWhatIsNoDib) {
  mem::Handle file = nullptr;
  int32_t size = 0;
  EXPECT_EQ(PngCodec().Write(nullptr, &file, &size), Result::BadParameter);
  mem::Owned bad(test::BlockOf(Bytes(40, 0)));
  EXPECT_EQ(PngCodec().Write(bad.get(), &file, &size), Result::BadHeader);
  EXPECT_EQ(file, nullptr);
}

TEST(MemoryStreams, WritesAccumulateAndReadsStopShort) {
  WriteStream out;
  Bytes expected;
  for (int i = 0; i < 20000; ++i) {
    const uint8_t piece[3] = {uint8_t(i), uint8_t(i >> 8), 7};
    ASSERT_TRUE(out.Append(piece, 1 + i % 3));
    expected.insert(expected.end(), piece, piece + 1 + i % 3);
  }
  mem::Handle block = nullptr;
  int32_t size = 0;
  ASSERT_EQ(out.TakeBlock(&block, &size), Result::Ok);
  mem::Owned owned(block);
  EXPECT_EQ(test::BytesOf(block), expected);
  EXPECT_EQ(size, static_cast<int32_t>(expected.size()));
  EXPECT_EQ(out.TakeBlock(&block, &size), Result::OutOfMemory);  // emptied: nothing to hand out

  const uint8_t bytes[5] = {1, 2, 3, 4, 5};
  ReadStream in(bytes, 5, 1);
  uint8_t got[4] = {};
  EXPECT_EQ(in.Read(got, 2), 2u);
  EXPECT_EQ(in.Read(got, 4), 2u);  // short: copies what is left, stays put
  EXPECT_EQ(Bytes(got, got + 2), (Bytes{4, 5}));
  EXPECT_EQ(in.Read(got, 2), 2u);
  EXPECT_EQ(in.Read(got, 1), 0u);
}

}  // namespace
}  // namespace pv
