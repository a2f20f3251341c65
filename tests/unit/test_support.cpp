#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "automation/invoke.h"
#include "dib/dib_pixels.h"

namespace pv::test {

uint32_t ColorAt(mem::Handle dib, int32_t x, int32_t y) {
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return 0xFFFFFFFF;
  const DibView& v = lock.view();
  uint8_t bgr[3];
  ReadBgr(v, v.row(v.height() - 1 - y), x, bgr);
  return static_cast<uint32_t>(bgr[2]) << 16 | bgr[1] << 8 | bgr[0];
}

std::vector<uint32_t> ReadPnm(const std::string& path, int32_t* width, int32_t* height) {
  const Bytes file = ReadFile(path);
  const std::string head(file.begin(), file.begin() + std::min<size_t>(file.size(), 64));
  char kind = 0;
  int maxval = 0, consumed = 0;
  std::sscanf(head.c_str(), "P%c %d %d %d%n", &kind, width, height, &maxval, &consumed);
  const size_t channels = kind == '6' ? 3 : 1;
  std::vector<uint32_t> pixels;
  for (size_t i = consumed + 1; i + channels <= file.size(); i += channels)
    pixels.push_back(channels == 3 ? file[i] << 16 | file[i + 1] << 8 | file[i + 2]
                                   : file[i] * 0x010101u);
  return pixels;
}

mem::Handle DibFromPnm(const std::string& path) {
  int32_t width = 0, height = 0;
  const auto pixels = ReadPnm(path, &width, &height);
  return MakeDib(width, height, 24, {},
                 [&](int32_t x, int32_t y) { return pixels[y * width + x]; });
}

void ExpectPixelsOf(mem::Handle dib, const std::string& pnmPath) {
  int32_t width = 0, height = 0;
  const auto expected = ReadPnm(pnmPath, &width, &height);
  ASSERT_EQ(DibGetWidth(dib), width) << pnmPath;
  ASSERT_EQ(DibGetHeight(dib), height) << pnmPath;
  ASSERT_EQ(expected.size(), static_cast<size_t>(width) * height) << pnmPath;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      ASSERT_EQ(ColorAt(dib, x, y), expected[y * width + x]) << pnmPath << " at " << x << "," << y;
}

int64_t Invoke(PortableControl& control, const std::string& callName,
               const std::vector<double>& args) {
  const Member* member = FindMember(callName);
  EXPECT_NE(member, nullptr) << callName;
  if (!member) return INT64_MIN;
  Call call;
  call.args.resize(member->params.size());
  for (size_t n = 0; n < args.size() && n < call.args.size(); ++n) {
    call.args[n].i = static_cast<int32_t>(args[n]);
    call.args[n].d = args[n];
  }
  InvokeMember(control, *member, call);
  for (Arg& a : call.args) mem::Free(a.h);
  mem::Free(call.pValBlock);
  return call.pVal;
}

std::string FixturePath(const std::string& name) {
  return std::string(PICTAVOR_FIXTURES) + "/" + name;
}

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
