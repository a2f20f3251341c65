// The clipboard's CF_DIB data. Where the platform has no clipboard (the native build), one slot
// per process stands in for it, so that a copy and a later paste still meet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

// Places `block` on the clipboard as CF_DIB, replacing what was there; the clipboard owns the
// block afterwards (it is freed when it is refused). 11 when the clipboard cannot be opened,
// 12 when it refuses the data.
Result ClipboardPutDib(mem::Handle block);

// Hands the clipboard's CF_DIB bytes to `take` while the clipboard is open and returns what
// `take` returns; 11 when the clipboard cannot be opened, 13 when it holds no DIB.
Result ClipboardReadDib(const std::function<Result(const uint8_t* bytes, size_t size)>& take);

}  // namespace pv
