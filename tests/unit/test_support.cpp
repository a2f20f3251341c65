#include "test_support.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "image/dib_pixels.h"

namespace pv::test {

uint32_t ColorAt(mem::Handle dib, int32_t x, int32_t y) {
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return 0xFFFFFFFF;
  const DibView& v = lock.view();
  uint8_t bgr[3];
  ReadBgr(v, v.row(v.height() - 1 - y), x, bgr);
  return static_cast<uint32_t>(bgr[2]) << 16 | bgr[1] << 8 | bgr[0];
}

std::string FixturePath(const std::string& name) { return std::string(PICTAVOR_FIXTURES) + "/" + name; }

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TempPath(const std::string& name) {
  static const std::string dir = [] {
    const char* tmp = std::getenv("TMPDIR");
#ifdef _WIN32
    if (!tmp) tmp = std::getenv("TEMP");
#endif
    return std::string(tmp ? tmp : "/tmp");
  }();
  return dir + "/pictavor_test_" + name;
}

}  // namespace pv::test
