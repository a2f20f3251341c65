// Every fuzz target on its seed corpus and on the inputs that once crashed it: a target traps
// (ending this program) or a sanitizer reports where a fault has come back.
#ifdef PICTAVOR_FUZZ_DIR
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "test_support.h"

#define PV_FUZZ_TARGET(name) extern "C" int name##_one(const uint8_t* data, size_t size);
#include "fuzz_targets.inc"
#undef PV_FUZZ_TARGET

namespace pv {
namespace {

struct Target {
  const char* name;
  int (*one)(const uint8_t*, size_t);
};

#define PV_FUZZ_TARGET(name) {#name, name##_one},
const Target kTargets[] = {
#include "fuzz_targets.inc"
};
#undef PV_FUZZ_TARGET

TEST(FuzzRegressions, EveryTargetTakesItsSeedsAndPastCrashes) {
  namespace fs = std::filesystem;
  size_t inputs = 0;
  for (const Target& target : kTargets)
    for (const char* folder : {"corpus", "regressions"}) {
      const fs::path dir = fs::path(PICTAVOR_FUZZ_DIR) / folder / target.name;
      if (!fs::is_directory(dir)) continue;
      for (const auto& file : fs::directory_iterator(dir)) {
        SCOPED_TRACE(file.path().string());
        const test::Bytes bytes = test::ReadFile(file.path().string());
        EXPECT_EQ(target.one(bytes.data(), bytes.size()), 0);
        ++inputs;
      }
    }
  EXPECT_GT(inputs, std::size(kTargets));
}

}  // namespace
}  // namespace pv
#endif
