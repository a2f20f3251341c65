#include <gtest/gtest.h>

#include "base/byte_reader.h"

namespace pv {
namespace {

const uint8_t kBytes[] = {0x01, 0x02, 0x03, 0x04, 0x05};

TEST(ByteReader, ReadsOnlyWhatIsThere) {
  const ByteReader little(kBytes, sizeof kBytes), big(kBytes, sizeof kBytes, true);
  uint32_t v = 0;
  EXPECT_TRUE(little.Read(1, 4, &v));
  EXPECT_EQ(v, 0x05040302u);
  EXPECT_TRUE(big.Read(3, 2, &v));
  EXPECT_EQ(v, 0x0405u);
  v = 7;
  for (auto [offset, bytes] : {std::pair{2, 4}, {5, 1}, {UINT32_MAX, 1}, {0, 0}, {0, 8}})
    EXPECT_FALSE(little.Read(offset, bytes, &v)) << offset << " " << bytes;
  EXPECT_EQ(v, 7u);
  EXPECT_TRUE(little.Has(5, 0));
  EXPECT_FALSE(little.Has(2, UINT64_MAX));  // no wrap of offset + length
  EXPECT_EQ(little.Sub(1, 3).size(), 3u);
  EXPECT_EQ(little.Sub(3, 3).size(), 0u);
  EXPECT_EQ(ByteReader(nullptr, 10).size(), 0u);
}

TEST(ByteReader, SequentialReadsStayPutWhenShort) {
  ByteReader in(kBytes, sizeof kBytes);
  const uint8_t* p = nullptr;
  uint32_t v = 0;
  ASSERT_TRUE(in.Take(2, &p));
  EXPECT_EQ(p[1], 0x02);
  EXPECT_FALSE(in.Next(4, &v));
  EXPECT_FALSE(in.Take(4, &p));
  EXPECT_FALSE(in.Skip(4));
  EXPECT_EQ(in.position(), 2u);
  uint8_t out[4] = {};
  EXPECT_EQ(in.CopyOut(out, 4), 3u);  // what there is, and still at 2
  EXPECT_EQ(in.position(), 2u);
  EXPECT_EQ(in.CopyOut(out, 3), 3u);
  EXPECT_EQ(in.remaining(), 0u);
  EXPECT_FALSE(in.Seek(6));
}

}  // namespace
}  // namespace pv
