#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "base/bytes.h"
#include "dib/device_bitmap.h"
#include "dib/dib.h"
#include "dib/gdi_bitmap.h"

namespace pv {
namespace {

// Room for a header and a full 256-entry colour table, as GDI may write either.
constexpr size_t kInfoBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// The DIB depth that holds a device bitmap of `bits` bits per pixel (planes × bits).
int DibBitsFor(int bits) {
  if (bits <= 1) return 1;
  if (bits <= 4) return 4;
  if (bits <= 8) return 8;
  return 24;
}

// The screen's device context with the default palette realised in it.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {
    if (!dc_) return;
    old_ = SelectPalette(dc_, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    RealizePalette(dc_);
  }
  ~ScreenDc() {
    if (!dc_) return;
    if (old_) SelectPalette(dc_, old_, FALSE);
    ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HPALETTE old_ = nullptr;
};

// A logical palette of the colour table's entries, each reserved for animation as the display
// has always made them.
HPALETTE PaletteOf(const uint8_t* table, size_t entries) {
  std::unique_ptr<uint8_t[]> block(
      new (std::nothrow) uint8_t[sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY)]);
  if (!block) return nullptr;
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.get());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(entries);
  for (size_t i = 0; i < entries; ++i) {
    const uint8_t* bgr = table + 4 * i;
    palette->palPalEntry[i] = PALETTEENTRY{bgr[2], bgr[1], bgr[0], PC_RESERVED};
  }
  return CreatePalette(palette);
}

// Header and colour table as GDI wants them: every table entry's reserved byte set to 1.
void FillInfo(const DibHeader& header, const uint8_t* table, size_t entries, uint8_t* info) {
  header.Write(info);
  if (entries) std::memcpy(info + kDibHeaderBytes, table, 4 * entries);
  for (size_t i = 0; i < entries; ++i) info[kDibHeaderBytes + 4 * i + 3] = 1;
}

// FillInfo of the view's header and whole table; how many bytes of `info` that fills.
size_t SectionInfoOf(const DibView& view, uint8_t* info) {
  const size_t entries = TableEntries(view.bitCount());
  FillInfo(view.header, view.table, entries, info);
  return kDibHeaderBytes + 4 * entries;
}

}  // namespace

mem::Handle DibFromBitmap(void* handle) {
  const auto bitmap = static_cast<HBITMAP>(handle);
  BITMAP description;
  if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP ||
      GetObjectW(bitmap, sizeof description, &description) != sizeof description)
    return nullptr;
  DibHeader header;
  header.width = description.bmWidth;
  header.height = description.bmHeight;
  DibBuilder dib(header, DibBitsFor(description.bmPlanes * description.bmBitsPixel));
  if (dib.status() != Result::Ok) return nullptr;
  alignas(BITMAPINFO) uint8_t info[kInfoBytes] = {};
  dib.view().header.Write(info);
  ScreenDc screen;
  if (!screen.get() ||
      GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(header.height), dib.view().bits,
                reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS) == 0)
    return nullptr;
  if (dib.view().table)
    std::memcpy(dib.view().table, info + kDibHeaderBytes, 4 * TableEntries(dib.view().bitCount()));
  return dib.Release();
}

Result DibToSection(mem::Handle dib, HDC* dc, HBITMAP* section, void** bits) {
  if (dc) *dc = nullptr;
  if (section) *section = nullptr;
  if (bits) *bits = nullptr;
  if (!dib || !dc || !section || !bits) return Result::BadParameter;
  // The rows go straight from the DIB into the section: a copy between would cost a second
  // picture's worth of memory on every layout.
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return lock.status();
  const DibView& view = lock.view();
  const size_t entries = TableEntries(view.bitCount());
  alignas(BITMAPINFO) uint8_t info[kInfoBytes];
  SectionInfoOf(view, info);

  HDC memory = CreateCompatibleDC(nullptr);
  if (!memory) return Result::BitmapConversionFailed;
  HPALETTE palette = nullptr, previous = nullptr;
  if (entries > 0) {
    palette = PaletteOf(view.table, entries);
    if (!palette) {
      DeleteDC(memory);
      return Result::OutOfMemory;
    }
    previous = SelectPalette(memory, palette, FALSE);
    RealizePalette(memory);
  }
  void* sectionBits = nullptr;
  HBITMAP made = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS,
                                  &sectionBits, nullptr, 0);
  if (made && sectionBits) std::memcpy(sectionBits, view.bits, view.imageBytes());
  if (palette) {
    SelectPalette(memory, previous, FALSE);
    DeleteObject(palette);
  }
  if (!made) {
    DeleteDC(memory);
    return Result::BitmapConversionFailed;
  }
  *dc = memory;
  *section = made;
  *bits = sectionBits;
  return Result::Ok;
}

std::vector<uint8_t> SectionInfo(mem::Handle dib) {
  if (!dib) return {};
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return {};
  uint8_t info[kInfoBytes];
  return std::vector<uint8_t>(info, info + SectionInfoOf(lock.view(), info));
}

bool RefillSection(mem::Handle dib, const std::vector<uint8_t>& info, void* bits) {
  if (!dib || !bits || info.empty()) return false;
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return false;
  uint8_t own[kInfoBytes];
  const size_t size = SectionInfoOf(lock.view(), own);
  if (size != info.size() || std::memcmp(own, info.data(), size) != 0) return false;
  GdiFlush();  // nothing GDI still batches may read the section while it is rewritten
  std::memcpy(bits, lock.view().bits, lock.view().imageBytes());
  return true;
}

Result BitmapGetInfo(HBITMAP bitmap, BITMAPINFOHEADER* header, RGBQUAD* table) {
  if (!bitmap || !header) return Result::BadParameter;
  alignas(BITMAPINFO) uint8_t info[kInfoBytes] = {};
  auto* asked = reinterpret_cast<BITMAPINFO*>(info);
  asked->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  HDC memory = CreateCompatibleDC(nullptr);
  GetDIBits(memory, bitmap, 0, 0, nullptr, asked, DIB_RGB_COLORS);
  *header = asked->bmiHeader;
  const UINT entries =
      header->biClrUsed ? header->biClrUsed : static_cast<UINT>(TableEntries(header->biBitCount));
  if (table && entries > 0) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    GetDIBColorTable(memory, 0, std::min<UINT>(entries, 256), table);
    SelectObject(memory, old);
  }
  DeleteDC(memory);
  return Result::Ok;
}

mem::Handle DibFromSection(HBITMAP section, const void* bits) {
  BITMAPINFOHEADER header{};
  RGBQUAD table[256] = {};
  if (!bits || BitmapGetInfo(section, &header, table) != Result::Ok) return nullptr;
  const size_t entries = header.biClrUsed ? header.biClrUsed : TableEntries(header.biBitCount);
  const std::optional<uint64_t> imageBytes =
      DibImageBytes(header.biWidth, std::abs(header.biHeight), header.biBitCount);
  if (!imageBytes || entries > 256) return nullptr;
  if (header.biSizeImage == 0) header.biSizeImage = static_cast<DWORD>(*imageBytes);
  const size_t tableBytes = 4 * entries;
  mem::Owned dib(mem::Alloc(kDibHeaderBytes + tableBytes + header.biSizeImage));
  mem::Locked target(dib.get());
  if (!target) return nullptr;
  std::memcpy(target.data(), &header, kDibHeaderBytes);
  std::memcpy(target.data() + kDibHeaderBytes, table, tableBytes);
  std::memcpy(target.data() + kDibHeaderBytes + tableBytes, bits,
              std::min<size_t>(header.biSizeImage, *imageBytes));
  return dib.release();
}

}  // namespace pv
