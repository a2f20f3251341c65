#include <gtest/gtest.h>

#include <cstdio>

#include "document/image_document.h"
#include "formats/bmp_codec.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

// A BMP file of a palette picture whose pixels are given as an RLE stream.
Bytes RleFile(int32_t width, int32_t height, int bits, const Bytes& stream) {
  Bytes dib(40, 0);
  DibHeader h;
  h.width = width;
  h.height = height;
  h.bitCount = static_cast<uint16_t>(bits);
  h.compression = bits == 8 ? 1 : 2;
  h.sizeImage = static_cast<uint32_t>(stream.size());
  h.Write(dib.data());
  const Bytes table =
      test::Table(size_t{1} << bits, [](size_t i) { return static_cast<uint32_t>(i); });
  dib.insert(dib.end(), table.begin(), table.end());
  dib.insert(dib.end(), stream.begin(), stream.end());
  return test::BmpFile(dib, table.size());
}

// Loads file bytes into a document; the Result code.
Result LoadBytes(ImageDocument& doc, const Bytes& file) {
  mem::Owned block(test::BlockOf(file));
  return doc.LoadMemory(block.get(), 0, 0);
}

Bytes PixelRows(const ImageDocument& doc) {
  mem::Owned dib(doc.GetDIB());
  DibLock lock(dib.get());
  EXPECT_EQ(lock.status(), Result::Ok);
  if (lock.status() != Result::Ok) return {};
  return Bytes(lock.view().bits, lock.view().bits + lock.view().imageBytes());
}

TEST(BmpReader, ReadsWhatImageMagickWrites) {
  for (const char* name :
       {"im_1bit", "im_4bit", "im_8bit", "im_8bit_rle", "im_24bit", "im_32bit"}) {
    SCOPED_TRACE(name);
    ImageDocument doc;
    ASSERT_EQ(doc.Load(test::FixturePath(std::string(name) + ".bmp"), 0, 0), Result::Ok);
    test::ExpectPixelsOf(doc.dib(), test::FixturePath(std::string(name) + ".ppm"));
  }
}

TEST(BmpReader, BitFieldsAreTakenInButNotDisplayed) {
  ImageDocument doc;
  EXPECT_EQ(doc.Load(test::FixturePath("im_16bit_bitfields.bmp"), 0, 0), Result::BadHeader);
  EXPECT_EQ(doc.GetBitmapBits(), 16);
  EXPECT_EQ(doc.ColorRes(24, 0, 0, 0), Result::BadHeader);
}

TEST(BmpReader, TellsOtherFormatsFromBadHeaders) {
  const Bytes dib = test::MakeDibBytes(2, 2, 24, {}, [](int32_t, int32_t) { return 0u; });
  const Bytes good = test::BmpFile(dib, 0);
  Bytes reserved = good;
  reserved[6] = 1;
  Bytes oversized = good;
  WriteU32(&oversized[2], static_cast<uint32_t>(good.size() + 1));
  Bytes core = good;
  WriteU32(&core[14], 12);
  Bytes v5 = good;
  WriteU32(&v5[14], 124);
  // A whole file with the 12-byte core header is shorter than a 40-byte header would need.
  Bytes shortCore(26, 0);
  shortCore[0] = 'B', shortCore[1] = 'M', shortCore[2] = 26, shortCore[10] = 26;
  shortCore[14] = 12, shortCore[18] = 1, shortCore[20] = 1, shortCore[22] = 1, shortCore[24] = 24;
  const std::pair<Bytes, Result> cases[] = {
      {reserved, Result::BadFileFormat},
      {oversized, Result::BadFileFormat},
      {Bytes(good.begin(), good.begin() + 30), Result::BadFileFormat},
      {Bytes{'B'}, Result::BadFileFormat},
      {core, Result::BadHeader},
      {v5, Result::BadHeader},
      {shortCore, Result::BadHeader},
  };
  for (const auto& [file, expected] : cases) {
    ImageDocument doc;
    EXPECT_EQ(LoadBytes(doc, file), expected);
    EXPECT_EQ(doc.GetWidth(), -1);
  }
  mem::Handle out = nullptr;
  EXPECT_EQ(BmpCodec().Read(nullptr, &out), Result::BadParameter);
}

TEST(BmpReader, EveryTruncationIsRefused) {
  const Bytes dib =
      test::MakeDibBytes(5, 3, 8, test::GrayRamp(), [](int32_t x, int32_t y) { return x * y; });
  Bytes file = test::BmpFile(dib, 1024);
  WriteU32(&file[2], 0);  // bfSize 0 so that only the length check can refuse
  for (size_t length = 0; length < file.size(); ++length) {
    mem::Owned block(test::BlockOf(Bytes(file.begin(), file.begin() + length)));
    mem::Handle out = nullptr;
    ASSERT_EQ(BmpCodec().Read(block.get(), &out), Result::BadFileFormat) << length;
  }
}

TEST(BmpReader, HugeDimensionsAreRefusedWithoutAllocating) {
  Bytes dib = test::MakeDibBytes(2, 2, 24, {}, [](int32_t, int32_t) { return 0u; });
  WriteU32(&dib[4], 0x7FFFFFFF);
  WriteU32(&dib[8], 0x7FFFFFFF);
  WriteU32(&dib[20], 0);
  ImageDocument doc;
  EXPECT_EQ(LoadBytes(doc, test::BmpFile(dib, 0)), Result::BadFileFormat);
  // A tiny RLE stream may describe a huge picture; its expansion must not pretend to succeed.
  EXPECT_EQ(LoadBytes(doc, RleFile(0x7FFFFFFF, 0x7FFFFFFF, 8, {0, 1})), Result::OutOfMemory);
  EXPECT_EQ(doc.GetWidth(), -1);
}

TEST(BmpReader, ZeroImageSizeMeansStrideTimesHeight) {
  Bytes dib =
      test::MakeDibBytes(3, 2, 24, {}, [](int32_t x, int32_t) { return 0x010203u * (x + 1); });
  WriteU32(&dib[20], 0);
  ImageDocument doc;
  ASSERT_EQ(LoadBytes(doc, test::BmpFile(dib, 0)), Result::Ok);
  EXPECT_EQ(test::ColorAt(doc.dib(), 2, 1), 0x030609u);
}

TEST(BmpReader, ShortColourTablesAreWidenedAndWrittenBackAsTheyWere) {
  // 8-bit picture with a two-entry table: pixels follow right behind the eight table bytes.
  Bytes dib(40, 0);
  DibHeader h;
  h.width = 2;
  h.height = 1;
  h.bitCount = 8;
  h.sizeImage = 4;
  h.clrUsed = 2;
  h.Write(dib.data());
  const Bytes table = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0};
  const Bytes rows = {1, 0, 0, 0};
  dib.insert(dib.end(), table.begin(), table.end());
  dib.insert(dib.end(), rows.begin(), rows.end());
  const Bytes file = test::BmpFile(dib, table.size());

  ImageDocument doc;
  ASSERT_EQ(LoadBytes(doc, file), Result::Ok);
  EXPECT_EQ(doc.GetPaletteSize(), 8);
  EXPECT_EQ(test::ColorAt(doc.dib(), 0, 0), 0x00FF00u);
  EXPECT_EQ(test::ColorAt(doc.dib(), 1, 0), 0x0000FFu);
  int32_t color = -1;
  EXPECT_EQ(doc.GetPalette(255, &color), Result::Ok);
  EXPECT_EQ(color, 0);
  mem::Handle saved = nullptr;
  int32_t size = 0;
  ASSERT_EQ(doc.SaveMemory(&saved, kFormatBmp, 0, 0, &size), Result::Ok);
  mem::Owned owned(saved);
  EXPECT_EQ(test::BytesOf(saved), file);
}

TEST(BmpWriter, WritesHeaderTableAndRows) {
  mem::Owned dib(test::MakeDib(3, 2, 8, test::GrayRamp(), [](int32_t x, int32_t) { return x; }));
  mem::Handle file = nullptr;
  int32_t size = 0;
  ASSERT_EQ(BmpCodec().Write(dib.get(), &file, &size), Result::Ok);
  mem::Owned owned(file);
  const Bytes bytes = test::BytesOf(file);
  ASSERT_EQ(size, 54 + 1024 + 4 * 2);
  EXPECT_EQ(bytes.size(), static_cast<size_t>(size));
  EXPECT_EQ(ReadU32(&bytes[2]), static_cast<uint32_t>(size));
  EXPECT_EQ(ReadU32(&bytes[10]), 1078u);
  EXPECT_EQ(Bytes(bytes.begin() + 14, bytes.end()), test::BytesOf(dib.get()));
  EXPECT_EQ(BmpCodec().Write(nullptr, &file, &size), Result::BadParameter);
  EXPECT_EQ(BmpCodec().Write(dib.get(), nullptr, &size), Result::BadParameter);
}

TEST(RleExpansion, DecodesRunsLinesAndEnd) {
  ImageDocument doc;
  ASSERT_EQ(LoadBytes(doc, RleFile(4, 2, 8, {3, 5, 0, 0, 2, 7, 0, 1})), Result::Ok);
  EXPECT_EQ(PixelRows(doc), (Bytes{5, 5, 5, 0, 7, 7, 0, 0}));
  EXPECT_EQ(doc.GetSize(), 8);
  mem::Owned header(doc.GetBitmapInfo());
  EXPECT_EQ(ReadU32(&test::BytesOf(header.get())[16]), 0u);  // no longer compressed
}

TEST(RleExpansion, DeltaMovesRightAndUp) {
  ImageDocument doc;
  ASSERT_EQ(LoadBytes(doc, RleFile(4, 2, 8, {0, 2, 1, 1, 1, 9, 0, 1})), Result::Ok);
  EXPECT_EQ(PixelRows(doc), (Bytes{0, 0, 0, 0, 0, 9, 0, 0}));
}

TEST(RleExpansion, AbsoluteRunsOfNibblesAreHighFirst) {
  ImageDocument doc;
  // 00 03 12 30: pixels 1, 2, 3, then a run of one pixel of colour 4 at x = 3.
  ASSERT_EQ(LoadBytes(doc, RleFile(8, 1, 4, {0, 3, 0x12, 0x30, 1, 0x40, 0, 1})), Result::Ok);
  EXPECT_EQ(PixelRows(doc), (Bytes{0x12, 0x34, 0, 0}));
  ASSERT_EQ(LoadBytes(doc, RleFile(8, 1, 4, {5, 0xAB, 0, 1})), Result::Ok);
  EXPECT_EQ(PixelRows(doc), (Bytes{0xAB, 0xAB, 0xA0, 0}));
  ASSERT_EQ(LoadBytes(doc, RleFile(4, 1, 8, {0, 3, 1, 2, 3, 0, 1, 4})), Result::Ok);
  EXPECT_EQ(PixelRows(doc), (Bytes{1, 2, 3, 4}));
}

TEST(RleExpansion, MalformedStreamsStayInsideTheBlock) {
  ImageDocument doc;
  // Runs past the end of the rows, deltas above the top, line ends beyond the last row.
  const Bytes overruns[] = {
      {255, 1, 255, 2, 255, 3},
      {0, 2, 255, 255, 1, 1},
      {1, 1, 0, 0, 0, 0, 0, 0, 5, 5},
      {3, 1, 0, 2, 0, 1, 200, 7, 0, 0, 9, 9},
  };
  for (const Bytes& stream : overruns) {
    EXPECT_EQ(LoadBytes(doc, RleFile(3, 2, 8, stream)), Result::Ok);
    EXPECT_EQ(LoadBytes(doc, RleFile(3, 2, 4, stream)), Result::Ok);
  }
  EXPECT_EQ(LoadBytes(doc, RleFile(3, 2, 8, {255, 1})), Result::Ok);
  EXPECT_EQ(PixelRows(doc), (Bytes{1, 1, 1, 1, 1, 1, 1, 1}));
  // A code cut off by the end of the data is an error, and the document stays empty.
  for (const Bytes& cut : {Bytes{0, 5, 1, 2}, Bytes{0, 2, 1}, Bytes{7}}) {
    EXPECT_EQ(LoadBytes(doc, RleFile(3, 2, 8, cut)), Result::BadHeader);
    EXPECT_EQ(doc.GetWidth(), -1);
  }
  // RLE8 announced for a 4-bit picture.
  Bytes wrongDepth = RleFile(3, 2, 4, {0, 1});
  wrongDepth[14 + 16] = 1;
  EXPECT_EQ(LoadBytes(doc, wrongDepth), Result::BadHeader);
}

}  // namespace
}  // namespace pv
