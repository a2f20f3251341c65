#include <gtest/gtest.h>

#include <string>

#include "document/image_document.h"
#include "formats/jpeg_codec.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

Result WriteJpeg(mem::Handle dib, int16_t format, int16_t quality, Bytes* file) {
  mem::Handle block = nullptr;
  int32_t size = 0;
  const Result result = JpegCodec().Write(dib, &block, &size, format, quality);
  mem::Owned owned(block);
  *file = test::BytesOf(block);
  if (result == Result::Ok) {
    EXPECT_EQ(file->size(), static_cast<size_t>(size));
  }
  return result;
}

// The start-of-frame marker a file is coded with: 0xC0 baseline, 0xC2 progressive.
int FrameMarker(const Bytes& jpeg) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC1 || jpeg[i + 1] == 0xC2))
      return jpeg[i + 1];
  return -1;
}

TEST(JpegReader, DecodesCjpegFilesAsDjpegDoes) {
  const std::pair<const char*, const char*> files[] = {
      {"jpeg_baseline.jpg", "jpeg_baseline.ppm"},
      {"jpeg_progressive.jpg", "jpeg_progressive.ppm"},
      {"jpeg_gray.jpg", "jpeg_gray.pgm"}};
  for (const auto& [jpeg, reference] : files) {
    SCOPED_TRACE(jpeg);
    ImageDocument doc;
    ASSERT_EQ(doc.Load(test::FixturePath(jpeg), 0, 0), Result::Ok);
    test::ExpectPixelsOf(doc.dib(), test::FixturePath(reference));
  }
  mem::Owned gray;
  ASSERT_EQ(test::ReadWith<JpegCodec>(test::Fixture("jpeg_gray.jpg"), &gray), Result::Ok);
  DibLock lock(gray.get());
  EXPECT_EQ(lock.view().header.clrUsed, 256u);
  EXPECT_EQ(DibGetKind(&lock.view().header, lock.view().table), kKind8BitGray);
}

TEST(JpegReader, CmykTextAndBrokenHeadersAreNotJpegs) {
  mem::Owned dib;
  EXPECT_EQ(test::ReadWith<JpegCodec>(test::Fixture("jpeg_cmyk.jpg"), &dib), Result::BadFileFormat);
  EXPECT_EQ(test::ReadWith<JpegCodec>(Bytes{}, &dib), Result::BadFileFormat);
  const Bytes jpeg = test::Fixture("jpeg_baseline.jpg");
  for (size_t length : {size_t{1}, size_t{2}, size_t{20}, size_t{150}}) {
    EXPECT_EQ(test::ReadWith<JpegCodec>(Bytes(jpeg.begin(), jpeg.begin() + length), &dib),
              Result::BadFileFormat)
        << length;
    EXPECT_FALSE(dib);
  }
  mem::Handle out = nullptr;
  EXPECT_EQ(JpegCodec().Read(nullptr, &out), Result::BadParameter);
  // No reader takes text; the JPEG reader's answer is the load's.
  ImageDocument doc;
  const std::string text = "Just some text, not a picture.\n";
  mem::Owned block(test::BlockOf(Bytes(text.begin(), text.end())));
  EXPECT_EQ(doc.LoadMemory(block.get(), 0, 0), Result::BadFileFormat);
}

// Offset just past the first start-of-scan header; where the frame's height sits in `frame`.
size_t ScanDataAt(const Bytes& jpeg, size_t* frame) {
  for (size_t at = 2; at + 4 <= jpeg.size(); at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3])) {
    if (jpeg[at + 1] == 0xC0 || jpeg[at + 1] == 0xC2) *frame = at + 5;
    if (jpeg[at + 1] == 0xDA) return at + 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
  }
  return 0;
}

TEST(JpegReader, DataThatEndsBeforeThePictureIsCorrupt) {
  for (const char* name : {"jpeg_baseline.jpg", "jpeg_progressive.jpg", "jpeg_gray.jpg"}) {
    const Bytes jpeg = test::Fixture(name);
    size_t frame = 0;
    const size_t data = ScanDataAt(jpeg, &frame);
    ASSERT_GT(data, 0u) << name;
    Bytes huge = jpeg;  // 30000 × 30000 declared over the small picture's data
    for (size_t i : {frame, frame + 2}) huge[i] = 0x75, huge[i + 1] = 0x30;
    Bytes early(jpeg.begin(), jpeg.begin() + data + 20);  // an end marker inside the scan
    early.insert(early.end(), {0xFF, 0xD9});
    const Bytes cases[] = {Bytes(jpeg.begin(), jpeg.begin() + data),
                           Bytes(jpeg.begin(), jpeg.end() - 200), early, huge};
    for (const Bytes& cut : cases) {
      mem::Owned dib;
      EXPECT_EQ(test::ReadWith<JpegCodec>(cut, &dib), Result::BadFileFormat)
          << name << ", " << cut.size() << " of " << jpeg.size() << " bytes";
      EXPECT_FALSE(dib);
    }
  }
}

// Whether its scans were all there cannot be told of a progressive file without its end marker.
TEST(JpegReader, ASequentialFileWithoutItsEndMarkerIsWhole) {
  for (const auto& [name, loads] : {std::pair{"jpeg_baseline.jpg", true},
                                    {"jpeg_gray.jpg", true},
                                    {"jpeg_progressive.jpg", false}}) {
    const Bytes jpeg = test::Fixture(name);
    mem::Owned whole, unended;
    ASSERT_EQ(test::ReadWith<JpegCodec>(jpeg, &whole), Result::Ok);
    const Result result = test::ReadWith<JpegCodec>(Bytes(jpeg.begin(), jpeg.end() - 2), &unended);
    EXPECT_EQ(result, loads ? Result::Ok : Result::BadFileFormat) << name;
    if (loads) EXPECT_EQ(test::BytesOf(unended.get()), test::BytesOf(whole.get())) << name;
  }
}

TEST(JpegWriter, CodesLikeCjpegBaselineAndProgressive) {
  mem::Owned source(test::DibFromPnm(test::FixturePath("codec_source.ppm")));
  Bytes baseline, progressive;
  ASSERT_EQ(WriteJpeg(source.get(), 1, 85, &baseline), Result::Ok);
  ASSERT_EQ(WriteJpeg(source.get(), 2, 85, &progressive), Result::Ok);
  EXPECT_EQ(FrameMarker(baseline), 0xC0);
  EXPECT_EQ(FrameMarker(progressive), 0xC2);
  EXPECT_EQ(baseline, test::Fixture("jpeg_baseline.jpg"));
  EXPECT_EQ(progressive, test::Fixture("jpeg_progressive.jpg"));
  mem::Owned a, b;
  ASSERT_EQ(test::ReadWith<JpegCodec>(baseline, &a), Result::Ok);
  ASSERT_EQ(test::ReadWith<JpegCodec>(progressive, &b), Result::Ok);
  EXPECT_EQ(DibGetWidth(a.get()), DibGetWidth(b.get()));
  EXPECT_EQ(DibGetHeight(a.get()), DibGetHeight(b.get()));
}

TEST(JpegWriter, QualityAboveOneHundredActsAsOneHundred) {
  mem::Owned source(test::DibFromPnm(test::FixturePath("codec_source.ppm")));
  Bytes q100, q254, q2;
  ASSERT_EQ(WriteJpeg(source.get(), 1, 100, &q100), Result::Ok);
  ASSERT_EQ(WriteJpeg(source.get(), 1, 254, &q254), Result::Ok);
  ASSERT_EQ(WriteJpeg(source.get(), 1, 2, &q2), Result::Ok);
  EXPECT_EQ(q254, q100);
  EXPECT_LT(q2.size(), q100.size());
}

TEST(JpegWriter, PaletteDibsAreWrittenAsGreyOfTheirIndices) {
  // Flat 8 × 8 blocks at quality 100 come back exactly.
  const Bytes table =
      test::Table(256, [](size_t i) { return static_cast<uint32_t>(0xFF0000 - i); });
  mem::Owned dib(
      test::MakeDib(16, 8, 8, table, [](int32_t x, int32_t) { return x < 8 ? 40u : 200u; }));
  Bytes jpeg;
  ASSERT_EQ(WriteJpeg(dib.get(), 1, 100, &jpeg), Result::Ok);
  mem::Owned back;
  ASSERT_EQ(test::ReadWith<JpegCodec>(jpeg, &back), Result::Ok);
  EXPECT_EQ(DibGetBitCount(back.get()), 8);
  EXPECT_EQ(test::ColorAt(back.get(), 0, 0), 40 * 0x010101u);
  EXPECT_EQ(test::ColorAt(back.get(), 15, 7), 200 * 0x010101u);
}

TEST(JpegWriter, OnlyEightAndTwentyFourBits) {
  for (int bits : {1, 4, 16, 32}) {
    mem::Owned dib(test::MakeDib(4, 4, bits,
                                 test::Table(bits <= 8 ? 1u << bits : 0, [](size_t) { return 0u; }),
                                 [](int32_t, int32_t) { return 0u; }));
    Bytes jpeg;
    EXPECT_EQ(WriteJpeg(dib.get(), 1, 70, &jpeg), Result::BadBitDepth) << bits;
    EXPECT_TRUE(jpeg.empty());
  }
  // Wider than JPEG allows: the library's error comes back as 7, the process lives on.
  mem::Owned wide(
      test::MakeDib(70000, 1, 8, test::GrayRamp(), [](int32_t, int32_t) { return 0u; }));
  Bytes jpeg;
  EXPECT_EQ(WriteJpeg(wide.get(), 1, 70, &jpeg), Result::OutOfMemory);
  mem::Handle out = nullptr;
  int32_t size = 0;
  EXPECT_EQ(JpegCodec().Write(nullptr, &out, &size, 1, 70), Result::BadParameter);
}

}  // namespace
}  // namespace pv
