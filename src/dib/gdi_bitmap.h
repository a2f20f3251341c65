// The GDI side of the DIB model (Windows only): DIB sections for display, and the header of a
// device bitmap.
#pragma once

#include <windows.h>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

// A DIB section holding a copy of the DIB's rows, made on a new memory device context that is
// compatible with the screen. Both are the caller's to delete. 1 for a missing argument, the
// split's code for a bad DIB, 7 without memory, 6 when GDI refuses the section.
Result DibToSection(mem::Handle dib, HDC* dc, HBITMAP* section, void** bits);

// A new DIB copied from a DIB section as GDI reports it (header, colour table, the pixels at
// `bits`); null without memory or for a bitmap GDI cannot describe.
mem::Handle DibFromSection(HBITMAP section, const void* bits);

// The header GDI reports for a device bitmap, and optionally its colour table (room for 256
// entries): 1 when the bitmap or the header buffer is missing.
Result BitmapGetInfo(HBITMAP bitmap, BITMAPINFOHEADER* header, RGBQUAD* table);

}  // namespace pv
