#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "base/bytes.h"
#include "document/image_document.h"
#include "fake_window.h"
#include "platform/clipboard.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;
using test::FakeWindow;

mem::Handle Gray8(int32_t width, int32_t height) {
  return test::MakeDib(width, height, 8, test::GrayRamp(),
                       [](int32_t x, int32_t y) { return (x * 37 + y * 11) & 0xFF; });
}

TEST(ResultCodes, MessagesAreExact) {
  EXPECT_STREQ(ResultMessage(Result::BadParameter), "パラメータ異常です。");
  EXPECT_STREQ(ResultMessage(Result::NoImage), "コントロール内のDIB情報が不正です。");
  EXPECT_STREQ(ResultMessage(Result::TooManyLabels),
               "ラベリング処理中に規定数(256個)を超えました。");
  for (Result silent : {Result::Ok, Result::Cancelled, Result::NoPlugins, Result::TooManyColours})
    EXPECT_EQ(ResultMessage(silent), nullptr);
  EXPECT_EQ(ResultValue(static_cast<Result>(-2)), -2);
}

TEST(ImageDocument, EmptyDocumentAnswers) {
  ImageDocument doc;
  EXPECT_EQ(doc.GetWidth(), -1);
  EXPECT_EQ(doc.GetPaletteSize(), -1);
  EXPECT_EQ(doc.GetDIB(), nullptr);
  EXPECT_EQ(doc.GetBitmapInfo(), nullptr);
  int32_t color = 7;
  EXPECT_EQ(doc.GetPalette(0, &color), Result::NoImage);
  EXPECT_EQ(color, 7);
  EXPECT_EQ(doc.SetPalette(0, 0), Result::NoImage);
  EXPECT_EQ(doc.Monochrome(128), Result::NoImage);
  EXPECT_EQ(doc.Monochrome(0), Result::BadParameter);
  mem::Handle block = nullptr;
  int32_t size = 0;
  EXPECT_EQ(doc.SaveMemory(&block, kFormatBmp, 0, 0, &size), Result::NoImage);
}

TEST(ImageDocument, SetDibCopiesAndGetDibHandsOutACopy) {
  ImageDocument doc;
  mem::Owned dib(Gray8(5, 4));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  EXPECT_NE(doc.dib(), dib.get());
  mem::Owned copy(doc.GetDIB());
  EXPECT_EQ(test::BytesOf(copy.get()), test::BytesOf(dib.get()));
  EXPECT_EQ(doc.GetSize(), 8 * 4);

  // An RLE DIB is refused and the image stays; null empties the document.
  Bytes rle = test::BytesOf(dib.get());
  rle[16] = 1;
  mem::Owned rleBlock(test::BlockOf(rle));
  EXPECT_EQ(doc.SetDIB(rleBlock.get()), Result::BadHeader);
  EXPECT_EQ(doc.GetWidth(), 5);
  EXPECT_EQ(doc.SetDIB(nullptr), Result::Ok);
  EXPECT_EQ(doc.GetWidth(), -1);
}

// A biSizeImage shorter than the rows is set to them wherever a DIB comes in, so a saved file
// holds every row and loads back.
TEST(ImageDocument, ShortImageSizesAgreeWithTheRowsOnEveryEntry) {
  Bytes dib = test::MakeDibBytes(5, 3, 24, {}, [](int32_t x, int32_t y) { return x * 40 + y; });
  WriteU32(&dib[20], 16);  // one row of 16 bytes, of three
  const Bytes file = test::BmpFile(dib, 0);
  const std::string path = test::TempPath("short-size.bmp");
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(out);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
  const std::function<Result(ImageDocument&)> entries[] = {
      [&](ImageDocument& doc) { return doc.Load(path, 0, 0); },
      [&](ImageDocument& doc) {
        return doc.LoadMemory(mem::Owned(test::BlockOf(file)).get(), 0, 0);
      },
      [&](ImageDocument& doc) { return doc.SetDIB(mem::Owned(test::BlockOf(dib)).get()); },
      [&](ImageDocument& doc) {
        ClipboardPutDib(test::BlockOf(dib));
        return doc.Paste();
      }};
  for (size_t entry = 0; entry < std::size(entries); ++entry) {
    SCOPED_TRACE(entry);
    ImageDocument doc, back;
    ASSERT_EQ(entries[entry](doc), Result::Ok);
    EXPECT_EQ(ReadU32(test::BytesOf(mem::Owned(doc.GetDIB()).get()).data() + 20), 48u);
    mem::Handle saved = nullptr;
    int32_t size = 0;
    ASSERT_EQ(doc.SaveMemory(&saved, kFormatBmp, 0, 0, &size), Result::Ok);
    mem::Owned savedBlock(saved);
    EXPECT_EQ(size, 54 + 48);
    ASSERT_EQ(back.LoadMemory(saved, 0, 0), Result::Ok);
    for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(test::ColorAt(back.dib(), 4, y), 160u + y) << y;
  }
  std::remove(path.c_str());
}

TEST(ImageDocument, MonochromeThresholdsEveryByteOfEightBitImages) {
  ImageDocument doc;
  mem::Owned dib(
      test::MakeDib(3, 1, 8, test::GrayRamp(), [](int32_t x, int32_t) { return 127 + x; }));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  EXPECT_EQ(doc.Monochrome(255), Result::BadParameter);
  ASSERT_EQ(doc.Monochrome(128), Result::Ok);
  DibLock lock(doc.dib());
  EXPECT_EQ(Bytes(lock.view().bits, lock.view().bits + 4), (Bytes{0, 255, 255, 0}));  // padding too

  ImageDocument colour;
  mem::Owned dib24(test::MakeDib(2, 2, 24, {}, [](int32_t, int32_t) { return 0u; }));
  ASSERT_EQ(colour.SetDIB(dib24.get()), Result::Ok);
  EXPECT_EQ(colour.Monochrome(128), Result::BadBitDepth);
}

TEST(ImageDocument, PaletteEntriesAreColorrefs) {
  ImageDocument doc;
  mem::Owned dib(Gray8(2, 2));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  int32_t color = 0;
  EXPECT_EQ(doc.GetPalette(255, &color), Result::Ok);
  EXPECT_EQ(color, 0xFFFFFF);
  EXPECT_EQ(doc.GetPalette(256, &color), Result::BadParameter);
  EXPECT_EQ(doc.GetPalette(-1, &color), Result::BadParameter);
  ASSERT_EQ(doc.SetPalette(3, 0x00332211), Result::Ok);  // red 0x11, green 0x22, blue 0x33
  EXPECT_EQ(doc.GetPalette(3, &color), Result::Ok);
  EXPECT_EQ(color, 0x332211);
  DibLock lock(doc.dib());
  EXPECT_EQ(Bytes(lock.view().table + 12, lock.view().table + 16), (Bytes{0x33, 0x22, 0x11, 0}));

  ImageDocument colour;
  mem::Owned dib24(test::MakeDib(2, 2, 24, {}, [](int32_t, int32_t) { return 0u; }));
  ASSERT_EQ(colour.SetDIB(dib24.get()), Result::Ok);
  EXPECT_EQ(colour.GetPalette(0, &color), Result::BadBitDepth);
}

TEST(LoadSave, FilesRoundTripAndFailuresEmptyTheDocument) {
  ImageDocument doc;
  mem::Owned dib(Gray8(7, 3));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  const std::string path = test::TempPath("roundtrip.bmp");
  ASSERT_EQ(doc.Save(path, kFormatBmp, 0, 0), Result::Ok);

  ImageDocument loaded;
  ASSERT_EQ(loaded.Load(path, 0, 0), Result::Ok);
  EXPECT_EQ(test::BytesOf(loaded.dib()), test::BytesOf(dib.get()));
  EXPECT_EQ(loaded.Load(path, 0, 1), Result::BadParameter);
  EXPECT_EQ(loaded.GetWidth(), 7);
  EXPECT_EQ(loaded.Load(test::TempPath("no-such-file.bmp"), 0, 0), Result::CannotOpenFile);
  EXPECT_EQ(loaded.GetWidth(), -1);
  EXPECT_EQ(loaded.Load(test::FixturePath(""), 0, 0), Result::CannotOpenFile);  // a folder
  EXPECT_EQ(doc.Save(test::TempPath("no-such-dir/x.bmp"), kFormatBmp, 0, 0),
            Result::CannotOpenFile);
  std::remove(path.c_str());
}

TEST(LoadSave, UnknownBytesAreNotAFormat) {
  ImageDocument doc;
  mem::Owned dib(Gray8(2, 2));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  mem::Owned text(test::BlockOf(Bytes{'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(doc.LoadMemory(text.get(), 0, 0), Result::BadFileFormat);
  EXPECT_EQ(doc.GetWidth(), -1);
  EXPECT_EQ(doc.LoadMemory(nullptr, 0, 0), Result::BadParameter);
  mem::Owned empty(mem::Alloc(0));
  EXPECT_EQ(doc.LoadMemory(empty.get(), 0, 0), Result::BadFileFormat);
}

TEST(LoadSave, DamagedFilesAreReportedByTheirCodeAlone) {
  const Bytes png = test::Fixture("png_rgb8.png");
  Bytes badGamma = png;
  badGamma[0x2D] ^= 1;  // inside gAMA: libpng warns of the CRC and drops the chunk
  const Bytes jpeg = test::Fixture("jpeg_baseline.jpg");
  Bytes stray = jpeg;
  stray.insert(stray.begin() + 2, {0x00, 0x00});  // libjpeg warns of bytes before a marker
  const std::pair<Bytes, Result> cases[] = {
      {Bytes(png.begin(), png.begin() + png.size() / 2), Result::OutOfMemory},
      {badGamma, Result::Ok},
      {Bytes(jpeg.begin(), jpeg.end() - 100), Result::BadFileFormat},
      {stray, Result::Ok}};
  testing::internal::CaptureStderr();
  for (const auto& [file, expected] : cases) {
    ImageDocument doc;
    mem::Owned block(test::BlockOf(file));
    EXPECT_EQ(doc.LoadMemory(block.get(), 0, 0), expected) << file.size() << " bytes";
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(LoadSave, BitDepthArgumentConvertsOnLoadAndBeforeSaving) {
  ImageDocument source;
  mem::Owned dib(test::MakeDib(
      4, 4, 24, {}, [](int32_t x, int32_t y) { return x < 2 && y < 2 ? 0xFF0000u : 0x00FF00u; }));
  ASSERT_EQ(source.SetDIB(dib.get()), Result::Ok);
  mem::Handle file = nullptr;
  int32_t size = 0;
  ASSERT_EQ(source.SaveMemory(&file, kFormatBmp, 0, 0, &size), Result::Ok);
  mem::Owned owned(file);

  ImageDocument doc;
  ASSERT_EQ(doc.LoadMemory(file, 8, 0), Result::Ok);
  EXPECT_EQ(doc.GetBitmapBits(), 8);
  ASSERT_EQ(doc.LoadMemory(file, 24, 0), Result::Ok);
  EXPECT_EQ(doc.GetBitmapBits(), 24);
  // A refused conversion keeps the loaded image at its own depth.
  ASSERT_EQ(doc.LoadMemory(file, 3, 0), Result::BadParameter);
  EXPECT_EQ(doc.GetBitmapBits(), 24);

  // Saving with a depth converts the document's own image first; a refused one saves as it is.
  mem::Handle saved = nullptr;
  ASSERT_EQ(doc.SaveMemory(&saved, kFormatBmp, 1, 0, &size), Result::Ok);
  mem::Free(saved);
  EXPECT_EQ(doc.GetBitmapBits(), 1);
  ASSERT_EQ(doc.SaveMemory(&saved, kFormatBmp, 2, 0, &size), Result::Ok);
  mem::Free(saved);
  EXPECT_EQ(doc.GetBitmapBits(), 1);
}

TEST(LoadSave, SaveChecksFormatAndQuality) {
  ImageDocument doc;
  mem::Owned dib(Gray8(2, 2));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  mem::Handle block = nullptr;
  int32_t size = 0;
  EXPECT_EQ(doc.SaveMemory(&block, kFormatNone, 0, 0, &size), Result::BadParameter);
  EXPECT_EQ(doc.SaveMemory(&block, 0, 0, 0, &size), Result::BadParameter);
  EXPECT_EQ(doc.SaveMemory(&block, 7, 0, 0, &size), Result::BadParameter);
  EXPECT_EQ(doc.SaveMemory(&block, kFormatJpegBaseline, 0, 1, &size), Result::BadParameter);
  EXPECT_EQ(doc.SaveMemory(&block, kFormatJpegProgressive, 0, 255, &size), Result::BadParameter);
  EXPECT_EQ(doc.SaveMemory(nullptr, kFormatBmp, 0, 0, &size), Result::BadParameter);
  EXPECT_EQ(doc.SaveMemory(&block, kFormatBmp, 0, 0, nullptr), Result::BadParameter);
  EXPECT_EQ(block, nullptr);
  ASSERT_EQ(doc.SaveMemory(&block, kFormatBmp, 0, 0, &size), Result::Ok);
  EXPECT_EQ(size, 54 + 1024 + 8);
  mem::Free(block);
}

TEST(Layout, OverflowInBothDirectionsWithAutoScroll) {
  FakeWindow window(100, 100, 17);
  ImageDocument doc(&window);
  mem::Owned dib(test::MakeDib(200, 100, 24, {}, [](int32_t, int32_t) { return 0u; }));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  EXPECT_EQ(doc.horizontal_maximum(), 100 + 17);
  EXPECT_EQ(doc.vertical_maximum(), 17);
  EXPECT_TRUE(window.horizontalShown && window.verticalShown);
  EXPECT_GT(window.paints, 0);

  doc.set_auto_scroll(0);
  ASSERT_EQ(doc.Relayout(false), Result::Ok);
  EXPECT_EQ(doc.horizontal_maximum(), 100);
  EXPECT_EQ(doc.vertical_maximum(), 0);
  EXPECT_FALSE(window.horizontalShown || window.verticalShown);
}

TEST(Layout, FitModesScaleUniformly) {
  FakeWindow window(200, 200, 17);
  ImageDocument doc(&window);
  mem::Owned wide(
      test::MakeDib(400, 100, 8, test::GrayRamp(), [](int32_t, int32_t) { return 0u; }));
  doc.set_size_mode(4);
  ASSERT_EQ(doc.SetDIB(wide.get()), Result::Ok);
  EXPECT_DOUBLE_EQ(doc.scale_x(), 0.5);
  EXPECT_DOUBLE_EQ(doc.scale_y(), 0.5);
  EXPECT_EQ(doc.horizontal_maximum() + doc.vertical_maximum(), 0);

  mem::Owned tall(
      test::MakeDib(100, 400, 8, test::GrayRamp(), [](int32_t, int32_t) { return 0u; }));
  doc.set_size_mode(2);
  ASSERT_EQ(doc.SetDIB(tall.get()), Result::Ok);
  EXPECT_DOUBLE_EQ(doc.scale_x(), (200 - 17) / 100.0);
  EXPECT_DOUBLE_EQ(doc.scale_y(), doc.scale_x());
  EXPECT_TRUE(window.verticalShown);

  doc.set_size_mode(7);  // unknown modes lay out like mode 0
  doc.set_requested_scale(2.0, 3.0);
  ASSERT_EQ(doc.Relayout(false), Result::Ok);
  EXPECT_DOUBLE_EQ(doc.scale_y(), 3.0);
}

TEST(Display, QueriesWithoutAnImageReportNine) {
  ImageDocument doc;
  double x = -1, y = -1;
  int32_t px = 3, py = 4, ranges[4] = {7, 7, 7, 7};
  EXPECT_EQ(doc.GetDispScale(&x, &y), Result::NoImage);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(doc.ClientToDIBPosition(&px, &py), Result::NoImage);
  EXPECT_EQ(px, 3);
  EXPECT_EQ(doc.GetImageScrollRange(&ranges[0], &ranges[1], &ranges[2], &ranges[3]),
            Result::NoImage);
  for (int32_t r : ranges) EXPECT_EQ(r, 0);
  EXPECT_EQ(doc.GetImageScrollRange(nullptr, &ranges[1], &ranges[2], &ranges[3]),
            Result::BadParameter);
  EXPECT_EQ(doc.SetDispScale(-2.0, 0.0), Result::Ok) << "stored unchecked";
}

TEST(Display, ScrollRequestsStayInTheRangeAndMoveTheMapping) {
  FakeWindow window(100, 100, 17);
  ImageDocument doc(&window);
  mem::Owned dib(test::MakeDib(200, 100, 24, {}, [](int32_t, int32_t) { return 0u; }));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  ASSERT_EQ(doc.SetDispScale(2.0, 2.0), Result::Ok);
  const int32_t maximum = doc.horizontal_maximum();
  ASSERT_EQ(maximum, 400 - 100 + 17);
  for (int n = 0; n < 10; ++n) doc.Scroll(ScrollBar::Horizontal, 1, 0);  // line right
  int32_t x = 0, y = 0;
  ASSERT_EQ(doc.ClientToDIBPosition(&x, &y), Result::Ok);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 0);
  x = 400;
  EXPECT_EQ(doc.ClientToDIBPosition(&x, &y), Result::BadParameter);
  EXPECT_EQ(x, 400);

  doc.Scroll(ScrollBar::Horizontal, 7, 0);  // to the end
  doc.Scroll(ScrollBar::Horizontal, 1, 0);
  EXPECT_EQ(window.horizontalThumb, maximum);
  doc.Scroll(ScrollBar::Horizontal, 2, 0);  // page left
  EXPECT_EQ(window.horizontalThumb, maximum - 10);
  doc.Scroll(ScrollBar::Horizontal, 5, -40);  // a thumb dragged past the start
  EXPECT_EQ(window.horizontalThumb, 0);
  doc.Scroll(ScrollBar::Horizontal, 4, 1 << 20);
  EXPECT_EQ(window.horizontalThumb, maximum);
  doc.Scroll(ScrollBar::Horizontal, 8, 3);  // end of scroll: no move
  EXPECT_EQ(window.horizontalThumb, maximum);

  // The user moved the thumb: the next repaint takes it; a reset layout gives it back to 0.
  window.horizontalThumb = 30;
  doc.Repaint();
  EXPECT_EQ(doc.horizontal_position(), 30);
  ASSERT_EQ(doc.Relayout(false), Result::Ok);
  EXPECT_EQ(window.horizontalThumb, 0);
  EXPECT_EQ(doc.horizontal_position(), 0);
}

// A scroll only moves the view: the display bitmap of a 12-megapixel picture costs a copy of
// it, and a scroll step must not pay for that.
TEST(Display, ScrollStepsRepaintWithoutRebuildingTheDisplayBitmap) {
  FakeWindow window(100, 100, 17);
  ImageDocument doc(&window);
  mem::Owned dib(test::MakeDib(300, 300, 24, {}, [](int32_t, int32_t) { return 0u; }));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  ASSERT_GT(doc.vertical_maximum(), 0);
  const int builds = window.builds, paints = window.paints;
  int steps = 0;
  for (ScrollBar bar : {ScrollBar::Horizontal, ScrollBar::Vertical})
    for (int32_t request : {1, 3, 0, 2, 4, 5, 7, 6}) {  // line, page, thumb, ends
      doc.Scroll(bar, request, 20);
      doc.Repaint();
      ++steps;
    }
  window.verticalThumb = 40;  // the user dragged the thumb
  doc.Repaint();
  EXPECT_EQ(doc.vertical_position(), 40);
  EXPECT_EQ(window.builds, builds);
  EXPECT_EQ(window.paints, paints + steps + 1);
}

TEST(Layout, ABadDibIsReportedByTheLayout) {
  ImageDocument doc;
  mem::Owned dib(Gray8(2, 2));
  Bytes bitfields = test::BytesOf(dib.get());
  bitfields[14] = 16;  // 16 bits, bit fields, as a BMP file may carry
  bitfields[16] = 3;
  const Bytes file = test::BmpFile(bitfields, 0);
  mem::Owned block(test::BlockOf(file));
  EXPECT_EQ(doc.LoadMemory(block.get(), 0, 0), Result::BadHeader);
  EXPECT_EQ(doc.GetBitmapBits(), 16);
  EXPECT_EQ(doc.Monochrome(100), Result::BadHeader);
}

}  // namespace
}  // namespace pv
