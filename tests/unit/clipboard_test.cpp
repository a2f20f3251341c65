// The clipboard and device-bitmap entry points, on whichever platform the tests run: the
// system clipboard on Windows, the process's own slot elsewhere.
#include <gtest/gtest.h>

#include "dib/device_bitmap.h"
#include "document/image_document.h"
#include "platform/clipboard.h"
#include "platform/file_io.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

Bytes SmallDib() {
  return test::MakeDibBytes(
      5, 3, 4, test::Table(16, [](size_t i) { return static_cast<uint32_t>(i * 0x111111); }),
      [](int32_t x, int32_t y) { return static_cast<uint32_t>(x + 5 * y) & 15; });
}

TEST(Clipboard, CopyThenPasteGivesBackTheSameBlock) {
  ImageDocument document;
  EXPECT_EQ(document.Copy(), Result::NoImage);
  const Bytes dib = SmallDib();
  mem::Owned block(test::BlockOf(dib));
  ASSERT_EQ(document.SetDIB(block.get()), Result::Ok);
  ASSERT_EQ(document.Copy(), Result::Ok);
  ImageDocument other;
  ASSERT_EQ(other.Paste(), Result::Ok);
  EXPECT_EQ(test::BytesOf(other.dib()), dib);
  ASSERT_EQ(other.Paste(), Result::Ok) << "the clipboard keeps its data";
}

TEST(Clipboard, PasteTakesTheBlockAsItIsAndTheLayoutJudgesIt) {
  Bytes rle = SmallDib();
  WriteU32(&rle[16], 2);  // BI_RLE4: the display cannot take it
  ASSERT_EQ(ClipboardPutDib(test::BlockOf(rle)), Result::Ok);
  ImageDocument document;
  EXPECT_EQ(document.Paste(), Result::BadHeader);
  EXPECT_EQ(test::BytesOf(document.dib()), rle);

  // An empty block is no DIB (the system clipboard refuses it; the slot keeps it); either way
  // a paste finds nothing and the image stays.
  mem::Owned kept(test::BlockOf(SmallDib()));
  ASSERT_EQ(document.SetDIB(kept.get()), Result::Ok);
  ClipboardPutDib(mem::Alloc(0));
  EXPECT_EQ(document.Paste(), Result::ClipboardPasteFailed);
  EXPECT_EQ(test::BytesOf(document.dib()), SmallDib());
}

TEST(DeviceBitmaps, AHandleThatIsNoBitmapEmptiesTheDocument) {
  ImageDocument document;
  mem::Owned dib(test::BlockOf(SmallDib()));
  ASSERT_EQ(document.SetDIB(dib.get()), Result::Ok);
  // A memory block is no device bitmap anywhere.
  EXPECT_EQ(document.SetBITMAP(dib.get()), Result::Ok);
  EXPECT_EQ(document.dib(), nullptr);
  EXPECT_EQ(document.SetBITMAP(nullptr), Result::Ok);
  EXPECT_EQ(document.GetBITMAP(), nullptr) << "no display bitmap without a window";
}

TEST(Files, NamesWithANulNameNoFile) {
  mem::Handle block = nullptr;
  const std::string name = test::FixturePath("im_8bit.bmp");
  EXPECT_EQ(ReadFileToBlock(name + std::string(1, '\0') + "x", &block), Result::CannotOpenFile);
  EXPECT_EQ(block, nullptr);
  ASSERT_EQ(ReadFileToBlock(name, &block), Result::Ok);
  mem::Free(block);
  EXPECT_EQ(OpenFile(std::string("\xFF\xFE.bmp"), "rb"), nullptr) << "not UTF-8, not a file here";
}

}  // namespace
}  // namespace pv
