#include "platform/clipboard.h"

namespace pv {
namespace {

mem::Owned& Slot() {
  static mem::Owned slot;
  return slot;
}

}  // namespace

Result ClipboardPutDib(mem::Handle block) {
  Slot().reset(block);
  return Result::Ok;
}

Result ClipboardReadDib(const std::function<Result(const uint8_t* bytes, size_t size)>& take) {
  mem::Locked data(Slot().get());
  if (!data) return Result::ClipboardPasteFailed;
  return take(data.data(), data.size());
}

}  // namespace pv
