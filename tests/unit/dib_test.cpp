#include <gtest/gtest.h>

#include <algorithm>

#include "dib/dib.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

TEST(GlobalMemory, BlocksAreZeroedSizedAndFreedOnce) {
  mem::Handle h = mem::Alloc(10);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(mem::Size(h), 10u);
  EXPECT_EQ(test::BytesOf(h), Bytes(10, 0));
  EXPECT_TRUE(mem::Free(h));
  EXPECT_TRUE(mem::Free(nullptr));
  EXPECT_EQ(mem::Size(nullptr), 0u);
  EXPECT_EQ(mem::Lock(nullptr), nullptr);
}

// Picture-sized blocks come from another allocator on some systems: they too are zeroed, whole
// to their last byte, and reusable after a free.
TEST(GlobalMemory, LargeBlocksAreZeroedToTheEnd) {
  for (size_t bytes : {size_t{8} << 20, (size_t{9} << 20) + 3, (size_t{36} << 20) - 1}) {
    for (int round = 0; round < 2; ++round) {
      mem::Handle h = mem::Alloc(bytes);
      ASSERT_NE(h, nullptr);
      EXPECT_EQ(mem::Size(h), bytes);
      {
        mem::Locked block(h);
        ASSERT_TRUE(block);
        const uint8_t* data = block.data();
        EXPECT_EQ(data[0] | data[bytes / 2] | data[bytes - 1], 0) << bytes;
        std::fill(block.data(), block.data() + bytes,
                  uint8_t{0xA5});  // dirty it for the next round
      }
      EXPECT_TRUE(mem::Free(h));
    }
  }
}

TEST(DibModel, KindFollowsBitCountAndGreyRamp) {
  Bytes ramp = test::GrayRamp();
  DibHeader h;
  h.bitCount = 8;
  EXPECT_EQ(DibGetKind(&h, ramp.data()), kKind8BitGray);
  ramp[4 * 7 + 2] = 8;  // entry 7 = (7, 7, 8)
  EXPECT_EQ(DibGetKind(&h, ramp.data()), kKind8BitColor);
  EXPECT_EQ(DibGetKind(&h, nullptr), kKindInvalid);
  const std::pair<int, int16_t> kinds[] = {{1, 0},  {2, -1}, {4, 1},   {16, 4}, {24, 5},
                                           {32, 6}, {0, -1}, {12, -1}, {48, -1}};
  for (auto [bits, kind] : kinds) {
    h.bitCount = static_cast<uint16_t>(bits);
    EXPECT_EQ(DibGetKind(&h, ramp.data()), kind) << bits;
  }
  EXPECT_EQ(DibGetKind(nullptr, nullptr), kKindInvalid);
}

TEST(DibModel, AccessorsMeasureTheHeader) {
  auto zero = [](int32_t, int32_t) { return 0u; };
  mem::Owned dib24(test::MakeDib(1, 3, 24, {}, zero));
  EXPECT_EQ(DibGetImageSize(dib24.get()), 12);
  EXPECT_EQ(DibGetPaletteSize(dib24.get()), 0);
  EXPECT_EQ(DibGetWidth(dib24.get()), 1);
  EXPECT_EQ(DibGetHeight(dib24.get()), 3);
  EXPECT_EQ(DibGetBitCount(dib24.get()), 24);
  mem::Owned dib1(test::MakeDib(33, 5, 1, Bytes(8, 0), zero));
  EXPECT_EQ(DibGetImageSize(dib1.get()), 8 * 5);

  Bytes dib8 = test::MakeDibBytes(2, 2, 8, test::GrayRamp(), zero);
  mem::Owned full(test::BlockOf(dib8));
  EXPECT_EQ(DibGetPaletteSize(full.get()), 1024);
  WriteU32(&dib8[32], 16);
  mem::Owned shortTable(test::BlockOf(dib8));
  EXPECT_EQ(DibGetPaletteSize(shortTable.get()), 64);

  for (auto accessor :
       {DibGetWidth, DibGetHeight, DibGetImageSize, DibGetBitCount, DibGetPaletteSize})
    EXPECT_EQ(accessor(nullptr), -1);
  EXPECT_EQ(DibCopyHeader(nullptr), nullptr);
  mem::Owned header(DibCopyHeader(dib24.get()));
  const Bytes dib24Bytes = test::BytesOf(dib24.get());
  EXPECT_EQ(test::BytesOf(header.get()), Bytes(dib24Bytes.begin(), dib24Bytes.begin() + 40));
}

TEST(DibModel, SplitCopiesTableAndRows) {
  Bytes dib = test::MakeDibBytes(3, 2, 8, test::GrayRamp(),
                                 [](int32_t x, int32_t y) { return x + 10 * y; });
  DibHeader h;
  uint8_t table[1024];
  mem::Handle pixels = nullptr;
  ASSERT_EQ(DibSplit(dib.data(), dib.size(), &h, table, &pixels), Result::Ok);
  mem::Owned owned(pixels);
  EXPECT_EQ(h.width, 3);
  EXPECT_EQ(Bytes(table, table + 1024), test::GrayRamp());
  EXPECT_EQ(test::BytesOf(pixels), (Bytes{10, 11, 12, 0, 0, 1, 2, 0}));
  EXPECT_EQ(DibSplit(nullptr, 0, &h, nullptr, nullptr), Result::BadParameter);
  EXPECT_EQ(DibSplit(dib.data(), dib.size(), nullptr, nullptr, nullptr), Result::BadParameter);
}

TEST(DibModel, SplitRefusesHeadersOutsideTheModel) {
  const Bytes good = test::MakeDibBytes(4, 4, 24, {}, [](int32_t, int32_t) { return 0x123456u; });
  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
    int width;  // bytes of the field
  } cases[] = {
      {"bit fields", 16, 3, 4},         {"two planes", 12, 2, 2}, {"core header", 0, 12, 4},
      {"12 bits", 14, 12, 2},           {"zero width", 4, 0, 4},  {"top-down", 8, 0xFFFFFFFC, 4},
      {"huge width", 4, 0x7FFFFFFF, 4},
  };
  for (const Case& c : cases) {
    Bytes dib = good;
    if (c.width == 2)
      WriteU16(&dib[c.offset], static_cast<uint16_t>(c.value));
    else
      WriteU32(&dib[c.offset], c.value);
    DibHeader h;
    EXPECT_EQ(DibSplit(dib.data(), dib.size(), &h, nullptr, nullptr), Result::BadHeader) << c.what;
  }
  // A block that ends before the rows do is never read past its end.
  DibHeader h;
  EXPECT_EQ(DibSplit(const_cast<uint8_t*>(good.data()), good.size() - 1, &h, nullptr, nullptr),
            Result::BadHeader);
  Bytes shortTable =
      test::MakeDibBytes(4, 4, 8, test::GrayRamp(), [](int32_t, int32_t) { return 1u; });
  shortTable.resize(40 + 64 + 16);
  EXPECT_EQ(DibSplit(shortTable.data(), shortTable.size(), &h, nullptr, nullptr),
            Result::BadHeader);
}

}  // namespace
}  // namespace pv
