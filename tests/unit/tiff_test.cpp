#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "document/image_document.h"
#include "formats/tiff_codec.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

mem::Handle Picture(int32_t width, int32_t height, int bits) {
  if (bits == 24)
    return test::MakeDib(width, height, 24, {}, [](int32_t x, int32_t y) {
      return static_cast<uint32_t>(x * 0x030201 + y * 0x10);
    });
  const Bytes table =
      test::Table(256, [](size_t i) { return static_cast<uint32_t>(0x01FF80 + i * 0x010001); });
  return test::MakeDib(width, height, 8, table, [](int32_t x, int32_t y) {
    return static_cast<uint32_t>(x + 7 * y) & 0xFF;
  });
}

// Everything after the header: the reader sets biClrUsed to 256, a test DIB has 0.
Bytes TableAndRows(mem::Handle dib) {
  const Bytes all = test::BytesOf(dib);
  return Bytes(all.begin() + kDibHeaderBytes, all.end());
}

// Directory entry n of a file we wrote: tag, type, count, value field.
struct Entry {
  uint16_t tag, type;
  uint32_t count, value;
};
Entry EntryAt(const Bytes& tiff, int n) {
  const uint8_t* p = tiff.data() + 10 + 12 * n;
  return {ReadU16(p), ReadU16(p + 2), ReadU32(p + 4), ReadU32(p + 8)};
}

TEST(TiffReader, ReadsWhatLibtiffWrites) {
  const char* files[] = {
      "tiff_rgb_strips", "tiff_rgb_strips_mm", "tiff_rgb_one_strip", "tiff_rgb_two_strips_mm",
      "tiff_pal8",       "tiff_pal8_mm",       "tiff_gray8"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    ImageDocument doc;
    // Through the dispatch: BMP and PNG pass it on.
    ASSERT_EQ(doc.Load(test::FixturePath(std::string(name) + ".tif"), 0, 0), Result::Ok);
    test::ExpectPixelsOf(doc.dib(), test::FixturePath(std::string(name) + ".ppm"));
  }
  mem::Owned gray, pal, palMm;
  ASSERT_EQ(test::ReadWith<TiffCodec>(test::Fixture("tiff_gray8.tif"), &gray), Result::Ok);
  DibLock lock(gray.get());
  EXPECT_EQ(DibGetKind(&lock.view().header, lock.view().table), kKind8BitGray);
  ASSERT_EQ(test::ReadWith<TiffCodec>(test::Fixture("tiff_pal8.tif"), &pal), Result::Ok);
  ASSERT_EQ(test::ReadWith<TiffCodec>(test::Fixture("tiff_pal8_mm.tif"), &palMm), Result::Ok);
  EXPECT_EQ(test::BytesOf(pal.get()), test::BytesOf(palMm.get()));
  EXPECT_EQ(DibGetPaletteSize(pal.get()), 1024);
}

TEST(TiffReader, RefusesCompressionDeepSamplesAndOtherFormats) {
  mem::Owned dib;
  EXPECT_EQ(test::ReadWith<TiffCodec>(test::Fixture("tiff_lzw.tif"), &dib), Result::BadHeader);
  EXPECT_EQ(test::ReadWith<TiffCodec>(test::Fixture("tiff_gray16.tif"), &dib), Result::BadHeader);
  EXPECT_EQ(test::ReadWith<TiffCodec>(test::Fixture("png_rgb8.png"), &dib), Result::BadFileFormat);
  EXPECT_EQ(test::ReadWith<TiffCodec>(Bytes{'I'}, &dib), Result::BadFileFormat);
  EXPECT_EQ(test::ReadWith<TiffCodec>(Bytes{}, &dib), Result::BadFileFormat);
  mem::Handle out = nullptr;
  EXPECT_EQ(TiffCodec().Read(nullptr, &out), Result::BadParameter);
  // "II" that is no TIFF ends the load: the JPEG reader is not asked.
  ImageDocument doc;
  mem::Owned block(
      test::BlockOf(Bytes{'I', 'I', 'n', 'o', 't', ' ', 'a', ' ', 'T', 'I', 'F', 'F'}));
  EXPECT_EQ(doc.LoadMemory(block.get(), 0, 0), Result::BadHeader);
}

// Our own 8-bit file of width 4 and height 3 (one strip), changed one field at a time.
TEST(TiffReader, EveryFieldThatPointsAstrayIsRefused) {
  mem::Owned dib(Picture(4, 3, 8));
  const Bytes good = test::WrittenBy<TiffCodec>(dib.get());
  mem::Owned back;
  ASSERT_EQ(test::ReadWith<TiffCodec>(good, &back), Result::Ok);
  const auto with = [&](size_t at, uint32_t value, bool shortValue = false) {
    Bytes bad = good;
    for (int i = 0; i < (shortValue ? 2 : 4); ++i)
      bad.at(at + i) = static_cast<uint8_t>(value >> 8 * i);
    return bad;
  };
  const auto field = [](int entry) { return size_t{10 + 12 * static_cast<size_t>(entry) + 8}; };
  const std::pair<Bytes, const char*> cases[] = {
      {with(4, 0xFFFFFFF0), "directory offset past the end"},
      {with(8, 0xFFFF, true), "more entries than the file holds"},
      {with(field(1), 0), "zero width"},
      {with(field(2), 0), "zero height"},
      {with(field(3), 16, true), "16 bits per sample"},
      {with(field(4), 5), "LZW"},
      {with(field(5), 4, true), "transparency mask photometric"},
      {with(field(6), static_cast<uint32_t>(good.size()) - 11), "strip running past the end"},
      {with(field(6) - 8, 999, true), "StripOffsets made another tag"},
      {with(field(4) - 8, 999, true), "Compression tag missing"},
      {with(field(15), static_cast<uint32_t>(good.size()) - 100), "ColorMap past the end"},
      {with(field(15) - 4, 300), "ColorMap shorter than 768 values"},
      {with(field(1), 0x80000000), "width beyond 32-bit DIBs"},
  };
  for (const auto& [bad, what] : cases) {
    EXPECT_EQ(test::ReadWith<TiffCodec>(bad, &back), Result::BadHeader) << what;
    EXPECT_FALSE(back) << what;
  }
}

TEST(TiffReader, ColorMapLevelsAreTheHighBytes) {
  mem::Owned dib(Picture(3, 2, 8));
  const Bytes ours = test::WrittenBy<TiffCodec>(dib.get());
  Bytes shifted = ours;  // c × 256 instead of c × 257
  for (size_t at = 240; at < 240 + 1536; at += 2) shifted[at] = 0;
  mem::Owned a, b;
  ASSERT_EQ(test::ReadWith<TiffCodec>(ours, &a), Result::Ok);
  ASSERT_EQ(test::ReadWith<TiffCodec>(shifted, &b), Result::Ok);
  EXPECT_EQ(test::BytesOf(a.get()), test::BytesOf(b.get()));
  EXPECT_EQ(test::ColorAt(b.get(), 1, 0), 0x02FF81u);
}

TEST(TiffReader, AColorMapBesideTwentyFourBitsIsIgnored) {
  mem::Owned dib(Picture(4, 3, 8));
  Bytes file = test::WrittenBy<TiffCodec>(dib.get());
  WriteU16(&file[10 + 12 * 3 + 8], 24);  // BitsPerSample 24: three strips of one 12-byte row
  const uint32_t offsets = EntryAt(file, 6).value, counts = EntryAt(file, 10).value;
  const uint32_t first = ReadU32(&file[offsets]);
  for (uint32_t strip = 0; strip < 3; ++strip) {
    WriteU32(&file[offsets + 4 * strip], first + 12 * strip);
    WriteU32(&file[counts + 4 * strip], 12);
  }
  file.resize(first + 36, 0);
  mem::Owned back;
  ASSERT_EQ(test::ReadWith<TiffCodec>(file, &back), Result::Ok);
  EXPECT_EQ(DibGetBitCount(back.get()), 24);
  EXPECT_EQ(DibGetPaletteSize(back.get()), 0);
}

TEST(TiffReader, StripsMustStayInsideTheFileAndThePicture) {
  mem::Owned dib(Picture(100, 50, 24));  // 50 strips of 300 bytes, arrays at 216 and 416
  const Bytes good = test::WrittenBy<TiffCodec>(dib.get());
  mem::Owned back;
  Bytes tooLong = good;
  tooLong.push_back(0);
  WriteU32(&tooLong[416 + 4 * 49], 301);  // the last strip reaches past the picture, not the file
  EXPECT_EQ(test::ReadWith<TiffCodec>(tooLong, &back), Result::BadHeader);
  Bytes outside = good;
  WriteU32(&outside[216 + 4 * 10], static_cast<uint32_t>(good.size()) - 299);
  EXPECT_EQ(test::ReadWith<TiffCodec>(outside, &back), Result::BadHeader);
  Bytes noCounts = good;
  WriteU16(&noCounts[10 + 12 * 10], 999);  // StripByteCounts becomes an unknown tag
  EXPECT_EQ(test::ReadWith<TiffCodec>(noCounts, &back), Result::BadHeader);
  // Every cut of the file is refused, never read past.
  for (size_t length = 2; length < good.size(); length += 7) {
    ASSERT_EQ(test::ReadWith<TiffCodec>(Bytes(good.begin(), good.begin() + length), &back),
              Result::BadHeader)
        << length;
  }
}

TEST(TiffReader, StripsThatCannotHoldTheirRowsAreRefused) {
  mem::Owned dib(Picture(100, 50, 24));  // 50 strips of 300 bytes: RowsPerStrip is entry 9
  const Bytes good = test::WrittenBy<TiffCodec>(dib.get());
  const std::pair<const char*, std::function<void(Bytes&)>> cases[] = {
      {"an empty strip", [](Bytes& f) { WriteU32(&f[416 + 4 * 3], 0); }},
      {"zero rows per strip", [](Bytes& f) { WriteU32(&f[10 + 12 * 9 + 8], 0); }},
      {"a strip shorter than its row", [](Bytes& f) { WriteU32(&f[416 + 4 * 3], 299); }},
      {"a last strip shorter than what is left", [](Bytes& f) { WriteU32(&f[416 + 4 * 49], 1); }},
      {"too few strips", [](Bytes& f) { WriteU32(&f[10 + 12 * 6 + 4], 49); }},
      {"strips without RowsPerStrip that end early",
       [](Bytes& f) {
         WriteU16(&f[10 + 12 * 9], 999);
         WriteU32(&f[416 + 4 * 49], 299);
       }},
  };
  mem::Owned back;
  for (const auto& [what, spoil] : cases) {
    Bytes file = good;
    spoil(file);
    EXPECT_EQ(test::ReadWith<TiffCodec>(file, &back), Result::BadHeader) << what;
  }
  ASSERT_EQ(test::ReadWith<TiffCodec>(good, &back), Result::Ok);
}

// A small file declaring a picture too large to make is refused for its strips (5), which are
// judged before the picture is allocated, not for the memory it would take (7).
TEST(TiffReader, StripsAreJudgedBeforeThePictureIsMade) {
  mem::Owned dib(Picture(100, 50, 24));
  Bytes huge = test::WrittenBy<TiffCodec>(dib.get());
  for (int entry : {1, 2}) {  // ImageWidth and ImageLength as 100000 LONGs
    WriteU16(&huge[10 + 12 * entry + 2], 4);
    WriteU32(&huge[10 + 12 * entry + 8], 100000);
  }
  mem::Owned back;
  EXPECT_EQ(test::ReadWith<TiffCodec>(huge, &back), Result::BadHeader);
}

TEST(TiffReader, StripsMayEndInsideAPixel) {
  mem::Owned dib(Picture(100, 50, 24));
  Bytes file = test::WrittenBy<TiffCodec>(dib.get());
  // Without RowsPerStrip each strip follows the last; shift one byte from strip 1 to strip 0.
  WriteU16(&file[10 + 12 * 9], 999);
  WriteU32(&file[416], 301);
  WriteU32(&file[416 + 4], 299);
  WriteU32(&file[216 + 4], 616 + 301);
  mem::Owned back;
  ASSERT_EQ(test::ReadWith<TiffCodec>(file, &back), Result::Ok);
  EXPECT_EQ(test::BytesOf(back.get()), test::BytesOf(dib.get()));
}

TEST(TiffReader, BigEndianFilesReadLikeLittleEndianTwins) {
  mem::Owned ii, mm;
  ASSERT_EQ(test::ReadWith<TiffCodec>(test::Fixture("tiff_rgb_strips.tif"), &ii), Result::Ok);
  ASSERT_EQ(test::ReadWith<TiffCodec>(test::Fixture("tiff_rgb_strips_mm.tif"), &mm), Result::Ok);
  EXPECT_EQ(test::BytesOf(ii.get()), test::BytesOf(mm.get()));
}

TEST(TiffWriter, TwentyFourBitLayout) {
  mem::Owned dib(Picture(100, 50, 24));
  const Bytes tiff = test::WrittenBy<TiffCodec>(dib.get());
  ASSERT_EQ(tiff.size(), 15616u);
  EXPECT_EQ(Bytes(tiff.begin(), tiff.begin() + 10), (Bytes{'I', 'I', 42, 0, 8, 0, 0, 0, 15, 0}));
  const uint16_t tags[] = {254, 256, 257, 258, 259, 262, 273, 274,
                           277, 278, 279, 282, 283, 296, 284};
  for (int n = 0; n < 15; ++n) EXPECT_EQ(EntryAt(tiff, n).tag, tags[n]) << n;
  EXPECT_EQ(ReadU32(&tiff[190]), 0u);
  EXPECT_EQ(Bytes(tiff.begin() + 194, tiff.begin() + 216),
            (Bytes{8, 0, 8, 0, 8, 0, 44, 1, 0, 0, 1, 0, 0, 0, 44, 1, 0, 0, 1, 0, 0, 0}));
  const Entry bits = EntryAt(tiff, 3), offsets = EntryAt(tiff, 6), rows = EntryAt(tiff, 9),
              counts = EntryAt(tiff, 10);
  EXPECT_EQ(bits.count, 3u);
  EXPECT_EQ(bits.value, 194u);
  EXPECT_EQ(EntryAt(tiff, 5).value, 2u);  // RGB
  EXPECT_EQ(offsets.count, 50u);
  EXPECT_EQ(offsets.value, 216u);
  EXPECT_EQ(counts.value, 416u);
  EXPECT_EQ(rows.value, 1u);
  EXPECT_EQ(ReadU32(&tiff[216]), 616u);
  EXPECT_EQ(ReadU32(&tiff[216 + 4 * 49]), 616u + 49 * 300);
  EXPECT_EQ(ReadU32(&tiff[416 + 4 * 49]), 300u);
  // Top row first, red first: picture pixel (1, 0) is 0x030201.
  EXPECT_EQ(Bytes(tiff.begin() + 619, tiff.begin() + 622), (Bytes{3, 2, 1}));
}

TEST(TiffWriter, EightBitLayoutWithColorMap) {
  mem::Owned dib(Picture(100, 1, 8));
  const Bytes tiff = test::WrittenBy<TiffCodec>(dib.get());
  ASSERT_EQ(tiff.size(), 1876u);
  EXPECT_EQ(ReadU16(&tiff[8]), 16u);
  const Entry colorMap = EntryAt(tiff, 15), offsets = EntryAt(tiff, 6), counts = EntryAt(tiff, 10);
  EXPECT_EQ(colorMap.tag, 320);
  EXPECT_EQ(colorMap.count, 768u);
  EXPECT_EQ(colorMap.value, 240u);
  EXPECT_EQ(EntryAt(tiff, 3).value, 8u);
  EXPECT_EQ(EntryAt(tiff, 5).value, 3u);  // palette
  EXPECT_EQ(offsets.value, 1776u);
  EXPECT_EQ(counts.value, 100u);
  EXPECT_EQ(EntryAt(tiff, 11).value, 212u);
  EXPECT_EQ(EntryAt(tiff, 12).value, 220u);
  EXPECT_EQ(ReadU32(&tiff[212]), 300u);
  // Entry 5 is (red, green, blue) = (0x06, 0xFF, 0x85): each byte repeated.
  EXPECT_EQ(ReadU16(&tiff[240 + 10]), 0x0606);
  EXPECT_EQ(ReadU16(&tiff[240 + 512 + 10]), 0xFFFF);
  EXPECT_EQ(ReadU16(&tiff[240 + 1024 + 10]), 0x8585);
  EXPECT_EQ(tiff[1776 + 99], 99);
}

TEST(TiffWriter, RowsPerStripGrowWithTheRow) {
  for (const auto& [width, rows, strips] : {std::tuple{3000, 1u, 3u}, std::tuple{6000, 2u, 2u}}) {
    mem::Owned dib(Picture(width, 3, 24));
    const Bytes tiff = test::WrittenBy<TiffCodec>(dib.get());
    EXPECT_EQ(EntryAt(tiff, 9).value, rows) << width;
    EXPECT_EQ(EntryAt(tiff, 6).count, strips) << width;
    const uint32_t last = ReadU32(&tiff[216 + 4 * strips + 4 * (strips - 1)]);
    EXPECT_EQ(last, width * 3 * (3 - rows * (strips - 1))) << width;
  }
}

TEST(TiffWriter, OurFilesReadBackAsTheSameDib) {
  for (int bits : {8, 24}) {
    mem::Owned dib(Picture(37, 300, bits));  // several strips, padded rows
    mem::Owned back;
    ASSERT_EQ(test::ReadWith<TiffCodec>(test::WrittenBy<TiffCodec>(dib.get()), &back), Result::Ok);
    EXPECT_EQ(TableAndRows(back.get()), TableAndRows(dib.get())) << bits;
    EXPECT_EQ(DibGetPaletteSize(back.get()), bits == 8 ? 1024 : 0);
  }
  // A short table: the ColorMap entries past biClrUsed are zero and read back as zero.
  const Bytes table = test::Table(256, [](size_t i) { return i < 3 ? 0xFFFFFFu : 0x123456u; });
  Bytes shortTable = test::MakeDibBytes(
      2, 2, 8, table, [](int32_t x, int32_t) { return static_cast<uint32_t>(x * 3); });
  WriteU32(&shortTable[32], 3);
  mem::Owned dib(test::BlockOf(shortTable));
  mem::Owned back;
  ASSERT_EQ(test::ReadWith<TiffCodec>(test::WrittenBy<TiffCodec>(dib.get()), &back), Result::Ok);
  EXPECT_EQ(test::ColorAt(back.get(), 0, 0), 0xFFFFFFu);
  EXPECT_EQ(test::ColorAt(back.get(), 1, 0), 0u);
}

TEST(TiffWriter, OnlyEightAndTwentyFourBits) {
  for (int bits : {1, 4, 16, 32}) {
    mem::Owned dib(test::MakeDib(4, 4, bits,
                                 test::Table(bits <= 8 ? 1u << bits : 0, [](size_t) { return 0u; }),
                                 [](int32_t, int32_t) { return 0u; }));
    mem::Handle file = nullptr;
    int32_t size = 0;
    EXPECT_EQ(TiffCodec().Write(dib.get(), &file, &size), Result::BadBitDepth) << bits;
    EXPECT_EQ(file, nullptr);
  }
  mem::Handle file = nullptr;
  int32_t size = 0;
  EXPECT_EQ(TiffCodec().Write(nullptr, &file, &size), Result::BadParameter);
}

}  // namespace
}  // namespace pv
