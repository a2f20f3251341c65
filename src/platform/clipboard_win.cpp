#include <windows.h>

#include "platform/clipboard.h"

namespace pv {
namespace {

// The clipboard opened without an owner window, closed when the object goes.
class OpenClipboardScope {
 public:
  OpenClipboardScope() : open_(OpenClipboard(nullptr) != FALSE) {}
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_;
};

}  // namespace

Result ClipboardPutDib(mem::Handle block) {
  mem::Owned owned(block);
  OpenClipboardScope clipboard;
  if (!clipboard) return Result::ClipboardOpenFailed;
  EmptyClipboard();
  if (!SetClipboardData(CF_DIB, owned.get())) return Result::ClipboardCopyFailed;
  owned.release();
  return Result::Ok;
}

Result ClipboardReadDib(const std::function<Result(const uint8_t* bytes, size_t size)>& take) {
  OpenClipboardScope clipboard;
  if (!clipboard) return Result::ClipboardOpenFailed;
  mem::Locked data(GetClipboardData(CF_DIB));
  if (!data) return Result::ClipboardPasteFailed;
  return take(data.data(), data.size());
}

}  // namespace pv
