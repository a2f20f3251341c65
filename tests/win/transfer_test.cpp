// The image through the real clipboard and as GDI bitmaps: Copy and Paste, SetBITMAP and
// GetBITMAP on the control, and the DIB utilities over GDI underneath them.
#include <gtest/gtest.h>

#include <cstring>

#include "dib/device_bitmap.h"
#include "dib/gdi_bitmap.h"
#include "test_support.h"
#include "win_support.h"

namespace pv::wintest {
namespace {

using test::Bytes;

// A block handed out by the control, freed when it goes.
Bytes TakeBlock(LONG_PTR handle) {
  mem::Owned block(reinterpret_cast<mem::Handle>(handle));
  return test::BytesOf(block.get());
}

Bytes Palette8() {
  return test::Table(256, [](size_t i) { return static_cast<uint32_t>(i * 0x010203 & 0xFFFFFF); });
}

class Transfer : public testing::Test {
 protected:
  void SetUp() override {
    control_ = module_.Create();
    ASSERT_TRUE(control_);
  }
  LONG SetDib(const Bytes& dib) {
    mem::Owned block(test::BlockOf(dib));
    LONG v = -1;
    EXPECT_EQ(control_->SetDIB(reinterpret_cast<LONG_PTR>(block.get()), &v), S_OK);
    return v;
  }
  Bytes GetDib() {
    LONG_PTR dib = 0;
    EXPECT_EQ(control_->GetDIB(&dib), S_OK);
    return TakeBlock(dib);
  }
  ControlModule module_;
  Ref<IPictavorCtl> control_;
};

TEST_F(Transfer, CopyThenPasteGivesBackTheSameBlock) {
  LONG v = -1;
  EXPECT_EQ(control_->Copy(0, &v), S_OK);
  EXPECT_EQ(v, 9) << "no image to copy";
  const Bytes dib =
      test::MakeDibBytes(7, 5, 8, Palette8(), [](int32_t x, int32_t y) { return x * 9 + y; });
  ASSERT_EQ(SetDib(dib), 0);
  ASSERT_EQ(control_->Copy(0, &v), S_OK);
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(OpenClipboard(nullptr));
  {
    mem::Locked onClipboard(GetClipboardData(CF_DIB));
    EXPECT_EQ(Bytes(onClipboard.data(), onClipboard.data() + onClipboard.size()), dib);
  }
  CloseClipboard();
  ASSERT_EQ(control_->SetDIB(0, &v), S_OK);  // a null handle empties the control
  ASSERT_EQ(control_->Paste(0, &v), S_OK);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(GetDib(), dib);
}

TEST_F(Transfer, PasteWithoutADibLeavesTheImage) {
  const Bytes dib =
      test::MakeDibBytes(3, 2, 24, {}, [](int32_t x, int32_t) { return 0x102030u * x; });
  ASSERT_EQ(SetDib(dib), 0);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  static const char kText[] = "not a picture";
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, sizeof kText);
  std::memcpy(GlobalLock(text), kText, sizeof kText);
  GlobalUnlock(text);
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();
  LONG v = -1;
  ASSERT_EQ(control_->Paste(0, &v), S_OK);
  EXPECT_EQ(v, 13);
  EXPECT_EQ(GetDib(), dib);
}

// A device bitmap of 16 bits per pixel (x1r5g5b5), two pixels wide: red, then white.
HBITMAP SixteenBitBitmap() {
  const WORD pixels[2] = {0x7C00, 0x7FFF};
  return CreateBitmap(2, 1, 1, 16, pixels);
}

TEST(DeviceBitmap, SixteenBitsBecomeTwentyFour) {
  HBITMAP bitmap = SixteenBitBitmap();
  ASSERT_NE(bitmap, nullptr);
  mem::Owned dib(DibFromBitmap(bitmap));
  DeleteObject(bitmap);
  DibLock lock(dib.get());
  ASSERT_EQ(lock.status(), Result::Ok);
  const DibHeader& h = lock.view().header;
  EXPECT_EQ(h.bitCount, 24);
  EXPECT_EQ(h.width, 2);
  EXPECT_EQ(h.height, 1);
  EXPECT_EQ(h.sizeImage, 8u) << "stride × height";
  EXPECT_EQ(h.clrUsed, 0u);
  EXPECT_EQ(h.xPelsPerMeter, 0);
  EXPECT_EQ(test::ColorAt(dib.get(), 0, 0), 0xFF0000u);
  EXPECT_EQ(test::ColorAt(dib.get(), 1, 0), 0xFFFFFFu);
}

TEST(DeviceBitmap, MonochromeBitmapKeepsItsTwoColours) {
  const BYTE row[2] = {0xA0, 0};  // pixels 0 and 2 set: white
  HBITMAP bitmap = CreateBitmap(3, 1, 1, 1, row);
  mem::Owned dib(DibFromBitmap(bitmap));
  DeleteObject(bitmap);
  DibLock lock(dib.get());
  ASSERT_EQ(lock.status(), Result::Ok);
  EXPECT_EQ(lock.view().header.bitCount, 1);
  EXPECT_EQ(test::ColorAt(dib.get(), 0, 0), 0xFFFFFFu);
  EXPECT_EQ(test::ColorAt(dib.get(), 1, 0), 0u);
  EXPECT_EQ(test::ColorAt(dib.get(), 2, 0), 0xFFFFFFu);
}

TEST(DeviceBitmap, WhatIsNoBitmapGivesNoDib) {
  EXPECT_EQ(DibFromBitmap(nullptr), nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(DibFromBitmap(pen), nullptr);
  DeleteObject(pen);
}

TEST(DeviceBitmap, SectionsHoldTheDibsRows) {
  const Bytes table = Palette8();
  mem::Owned dib(test::MakeDib(5, 3, 8, table, [](int32_t x, int32_t y) { return 40 * y + x; }));
  HDC dc = nullptr;
  HBITMAP section = nullptr;
  void* bits = nullptr;
  ASSERT_EQ(DibToSection(dib.get(), &dc, &section, &bits), Result::Ok);
  DIBSECTION description = {};
  ASSERT_EQ(GetObjectW(section, sizeof description, &description),
            static_cast<int>(sizeof description));
  EXPECT_EQ(description.dsBm.bmWidth, 5);
  EXPECT_EQ(description.dsBm.bmBitsPixel, 8);
  DibLock lock(dib.get());
  EXPECT_EQ(std::memcmp(bits, lock.view().bits, lock.view().imageBytes()), 0);

  BITMAPINFOHEADER header = {};
  RGBQUAD colours[256] = {};
  EXPECT_EQ(BitmapGetInfo(section, &header, colours), Result::Ok);
  EXPECT_EQ(header.biWidth, 5);
  EXPECT_EQ(header.biHeight, 3);
  EXPECT_EQ(header.biBitCount, 8);
  EXPECT_EQ(colours[7].rgbRed, table[4 * 7 + 2]);
  EXPECT_EQ(colours[7].rgbBlue, table[4 * 7]);
  EXPECT_EQ(BitmapGetInfo(nullptr, &header, nullptr), Result::BadParameter);
  EXPECT_EQ(BitmapGetInfo(section, nullptr, nullptr), Result::BadParameter);
  DeleteObject(section);
  DeleteDC(dc);
}

// What GDI reports of a section: its header, colour table and rows.
Bytes SectionBytes(HBITMAP section, const void* bits) {
  BITMAPINFOHEADER header = {};
  RGBQUAD colours[256] = {};
  EXPECT_EQ(BitmapGetInfo(section, &header, colours), Result::Ok);
  DIBSECTION description = {};
  GetObjectW(section, sizeof description, &description);
  const auto* h = reinterpret_cast<const uint8_t*>(&header);
  const auto* c = reinterpret_cast<const uint8_t*>(colours);
  const auto* b = static_cast<const uint8_t*>(bits);
  Bytes all(h, h + sizeof header);
  all.insert(all.end(), c, c + sizeof colours);
  all.insert(all.end(), b, b + description.dsBmih.biSizeImage);
  return all;
}

// A display refills its section with the next picture of the same header and colour table:
// the section must then be the one a new section of that picture would be.
TEST(DeviceBitmap, ARefilledSectionIsTheSectionOfTheNewDib) {
  const Bytes table = Palette8();
  Bytes otherTable = table;
  otherTable[4 * 3] ^= 0xFF;
  const auto rows = [](int32_t x, int32_t y) { return 40u * y + x; };
  const auto others = [](int32_t x, int32_t y) { return 7u * x + y + 1; };
  mem::Owned first(test::MakeDib(5, 3, 8, table, rows));
  HDC dc = nullptr;
  HBITMAP section = nullptr;
  void* bits = nullptr;
  ASSERT_EQ(DibToSection(first.get(), &dc, &section, &bits), Result::Ok);
  DeleteDC(dc);
  const std::vector<uint8_t> info = SectionInfo(first.get());
  ASSERT_FALSE(info.empty());
  EXPECT_TRUE(SectionInfo(nullptr).empty());

  mem::Owned newRows(test::MakeDib(5, 3, 8, table, others));
  mem::Owned newTable(test::MakeDib(5, 3, 8, otherTable, rows));
  mem::Owned wider(test::MakeDib(6, 3, 8, table, rows));
  mem::Owned deeper(test::MakeDib(5, 3, 24, {}, rows));
  const struct {
    const char* what;
    mem::Handle dib;
    bool refilled;
  } cases[] = {{"new rows", newRows.get(), true},
               {"the same DIB", first.get(), true},
               {"another colour table", newTable.get(), false},
               {"another width", wider.get(), false},
               {"another depth", deeper.get(), false},
               {"no DIB", nullptr, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes before = SectionBytes(section, bits);
    ASSERT_EQ(RefillSection(c.dib, info, bits), c.refilled);
    if (!c.refilled) {
      EXPECT_EQ(SectionBytes(section, bits), before) << "a refused refill copies nothing";
      continue;
    }
    HBITMAP fresh = nullptr;
    void* freshBits = nullptr;
    ASSERT_EQ(DibToSection(c.dib, &dc, &fresh, &freshBits), Result::Ok);
    EXPECT_EQ(SectionBytes(section, bits), SectionBytes(fresh, freshBits));
    DeleteObject(fresh);
    DeleteDC(dc);
  }
  EXPECT_FALSE(RefillSection(first.get(), {}, bits));
  DeleteObject(section);
}

TEST(DeviceBitmap, RefusedDibsLeaveNothingBehind) {
  HDC dc = reinterpret_cast<HDC>(1);
  HBITMAP section = reinterpret_cast<HBITMAP>(1);
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(DibToSection(nullptr, &dc, &section, &bits), Result::BadParameter);
  EXPECT_EQ(dc, nullptr);
  EXPECT_EQ(section, nullptr);
  EXPECT_EQ(bits, nullptr);
  Bytes rle = test::MakeDibBytes(2, 2, 8, Palette8(), [](int32_t, int32_t) { return 1u; });
  WriteU32(&rle[16], 1);  // BI_RLE8
  mem::Owned bad(test::BlockOf(rle));
  EXPECT_EQ(DibToSection(bad.get(), &dc, &section, &bits), Result::BadHeader);
  EXPECT_EQ(section, nullptr);
  mem::Owned good(test::MakeDib(2, 2, 24, {}, [](int32_t, int32_t) { return 0u; }));
  EXPECT_EQ(DibToSection(good.get(), &dc, nullptr, &bits), Result::BadParameter);
}

TEST_F(Transfer, SetBitmapReadsADeviceBitmapAndGetBitmapHandsOutTheDisplaysSection) {
  LONG_PTR shown = -1;
  ASSERT_EQ(control_->GetBITMAP(&shown), S_OK);
  EXPECT_EQ(shown, 0) << "nothing laid out yet";
  HBITMAP bitmap = SixteenBitBitmap();
  LONG v = -1;
  ASSERT_EQ(control_->SetBITMAP(reinterpret_cast<LONG_PTR>(bitmap), &v), S_OK);
  EXPECT_EQ(v, 0);
  DeleteObject(bitmap);  // the caller's: the control keeps a DIB of its own
  LONG bits = 0;
  control_->GetBitmapBits(&bits);
  EXPECT_EQ(bits, 24);
  ASSERT_EQ(control_->GetBITMAP(&shown), S_OK);
  DIBSECTION section = {};
  ASSERT_EQ(GetObjectW(reinterpret_cast<HBITMAP>(shown), sizeof section, &section),
            static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBm.bmWidth, 2);
  EXPECT_EQ(section.dsBmih.biBitCount, 24);
  EXPECT_EQ(std::memcmp(section.dsBm.bmBits, GetDib().data() + 40, 8), 0)
      << "the section shows the image";

  // The round trip: the display's own bitmap read back as a DIB gives the same image.
  const Bytes before = GetDib();
  ASSERT_EQ(control_->SetBITMAP(shown, &v), S_OK);
  EXPECT_EQ(GetDib(), before);

  ASSERT_EQ(control_->SetBITMAP(0, &v), S_OK);
  EXPECT_EQ(v, 0) << "an unreadable bitmap empties the control";
  control_->GetBitmapBits(&bits);
  EXPECT_EQ(bits, -1);
  ASSERT_EQ(control_->GetBITMAP(&shown), S_OK);
  EXPECT_EQ(shown, 0);
}

TEST_F(Transfer, GetBitmapFollowsEveryLayout) {
  ASSERT_EQ(SetDib(test::MakeDibBytes(4, 4, 1,
                                      test::Table(2, [](size_t i) { return i ? 0xFFFFFFu : 0u; }),
                                      [](int32_t x, int32_t y) { return (x + y) & 1u; })),
            0);
  LONG_PTR first = 0, second = 0;
  control_->GetBITMAP(&first);
  LONG v = -1;
  control_->ColorRes(24, 0, 0, 0, &v);
  control_->GetBITMAP(&second);
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  BITMAP description = {};
  ASSERT_EQ(GetObjectW(reinterpret_cast<HBITMAP>(second), sizeof description, &description),
            static_cast<int>(sizeof description));
  EXPECT_EQ(description.bmBitsPixel, 24) << "the section of the new image";
}

// GDI makes no section of 2 bits per pixel: a 2-bit image is shown through its 4-bit expansion,
// and the operations on it succeed as they do without a window.
TEST_F(Transfer, TwoBitImagesAreShownAsFourBits) {
  const Bytes table = test::Table(2, [](size_t i) { return i ? 0x00FF8000u : 0x000000FFu; });
  ASSERT_EQ(SetDib(test::MakeDibBytes(8, 2, 1, table, [](int32_t x, int32_t) { return x & 1u; })),
            0);
  LONG v = -1;
  ASSERT_EQ(control_->ColorRes(8, 0, 0, 0, &v), S_OK);
  ASSERT_EQ(control_->ColorRes(2, 0, 0, 0, &v), S_OK);
  EXPECT_EQ(v, 0);
  LONG bits = 0;
  control_->GetBitmapBits(&bits);
  EXPECT_EQ(bits, 2);
  LONG_PTR shown = 0;
  ASSERT_EQ(control_->GetBITMAP(&shown), S_OK);
  DIBSECTION section = {};
  ASSERT_EQ(GetObjectW(reinterpret_cast<HBITMAP>(shown), sizeof section, &section),
            static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBmih.biBitCount, 4);
  const Bytes dib = GetDib();
  const uint8_t* indices = static_cast<const uint8_t*>(section.dsBm.bmBits);
  EXPECT_EQ(indices[0], (dib[40 + 16] >> 6) << 4 | (dib[40 + 16] >> 4 & 3))
      << "the same indices, one a nibble";
  ASSERT_EQ(control_->Trim(0, 0, 4, 2, &v), S_OK);
  EXPECT_EQ(v, 0) << "laid out again after the trim";
}

}  // namespace
}  // namespace pv::wintest
