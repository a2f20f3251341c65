#include "platform/file_io.h"

#include <cstdio>
#include <memory>

namespace pv {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Length of an open file, or -1 when it cannot be told.
int64_t FileLength(std::FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long length = std::ftell(f);
  if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0) return -1;
  return length;
}

}  // namespace

Result ReadFileToBlock(const std::string& path, mem::Handle* block) {
  File file(OpenFile(path, "rb"));
  if (!file) return Result::CannotOpenFile;
  const int64_t length = FileLength(file.get());
  if (length < 0) return Result::CannotOpenFile;
  mem::Owned owned(mem::Alloc(static_cast<size_t>(length)));
  if (!owned) return Result::OutOfMemory;
  if (length > 0) {
    mem::Locked bytes(owned.get());
    if (!bytes) return Result::OutOfMemory;
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
      return Result::BadByteCount;
  }
  *block = owned.release();
  return Result::Ok;
}

Result WriteBlockToFile(const std::string& path, const uint8_t* bytes, size_t size) {
  File file(OpenFile(path, "wb"));
  if (!file) return Result::CannotOpenFile;
  const bool written = size == 0 || std::fwrite(bytes, 1, size, file.get()) == size;
  // A failed flush (a full disk) is a failed write too.
  const bool closed = std::fclose(file.release()) == 0;
  return written && closed ? Result::Ok : Result::CannotOpenFile;
}

}  // namespace pv
