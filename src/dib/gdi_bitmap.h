// The GDI side of the DIB model (Windows only): DIB sections for display, and the header of a
// device bitmap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

// A DIB section holding a copy of the DIB's rows, made on a new memory device context that is
// compatible with the screen. Both are the caller's to delete. 1 for a missing argument, the
// split's code for a bad DIB, 7 without memory, 6 when GDI refuses the section.
Result DibToSection(mem::Handle dib, HDC* dc, HBITMAP* section, void** bits);

// What decides the section DibToSection makes of a DIB: the header and colour table it hands
// GDI. Empty for a DIB it refuses.
std::vector<uint8_t> SectionInfo(mem::Handle dib);

// Copies the rows of `dib` into `bits`, the pixels of a section that DibToSection made of a DIB
// whose SectionInfo was `info`: the section is then the one DibToSection would make of `dib`.
// False, copying nothing, when the SectionInfo of `dib` differs. A new section's pages cost
// far more than the copy (a page fault each on first touch), so a display refills its own.
bool RefillSection(mem::Handle dib, const std::vector<uint8_t>& info, void* bits);

// A new DIB copied from a DIB section as GDI reports it (header, colour table, the pixels at
// `bits`); null without memory or for a bitmap GDI cannot describe.
mem::Handle DibFromSection(HBITMAP section, const void* bits);

// The header GDI reports for a device bitmap, and optionally its colour table (room for 256
// entries): 1 when the bitmap or the header buffer is missing.
Result BitmapGetInfo(HBITMAP bitmap, BITMAPINFOHEADER* header, RGBQUAD* table);

}  // namespace pv
