#include <gtest/gtest.h>

#include "document/image_document.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

Bytes Rows(const ImageDocument& doc) {
  mem::Handle rows = nullptr;
  int32_t size = 0;
  EXPECT_EQ(doc.GetImageData(&rows, &size), Result::Ok);
  mem::Owned owned(rows);
  return test::BytesOf(rows);
}

TEST(RawData, LoadReversesRowsAndChannels) {
  ImageDocument doc;
  mem::Owned raw(test::BlockOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  ASSERT_EQ(doc.LoadRawData(raw.get(), 2, 2, 2, 12), Result::Ok);
  EXPECT_EQ(Rows(doc), (Bytes{9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0}));
  ASSERT_EQ(doc.LoadRawData(raw.get(), 1, 1, 3, 12), Result::Ok);  // RGBx, fourth byte dropped
  EXPECT_EQ(Rows(doc), (Bytes{11, 10, 9, 0, 7, 6, 5, 0, 3, 2, 1, 0}));
}

TEST(RawData, LoadChecksSizesAgainstTheBlock) {
  ImageDocument doc;
  mem::Owned raw(test::BlockOf(Bytes(13, 1)));
  EXPECT_EQ(doc.LoadRawData(raw.get(), 2, 2, 2, 13),
            Result::BadParameter);  // not a multiple of the height
  EXPECT_EQ(doc.LoadRawData(raw.get(), 2, 3, 2, 12),
            Result::BadParameter);  // rows shorter than 3 pixels
  EXPECT_EQ(doc.LoadRawData(raw.get(), 8, 1, 1, 1), Result::BadParameter);
  EXPECT_EQ(doc.LoadRawData(raw.get(), 4, 1, 100, 100),
            Result::BadParameter);  // more than the block holds
  EXPECT_EQ(doc.LoadRawData(nullptr, 4, 1, 1, 1), Result::BadParameter);
  EXPECT_EQ(doc.LoadRawData(raw.get(), 4, 0, 1, 1), Result::BadParameter);
  // 2^27 pixels of 32 bits: a row of 2^32 bytes, which a 32-bit size would wrap to nothing.
  EXPECT_EQ(doc.LoadRawData(raw.get(), 1, 1 << 27, 1, 12), Result::BadParameter);
  EXPECT_EQ(doc.GetWidth(), -1);
}

TEST(RawData, PaletteKindsGetTheirTables) {
  ImageDocument doc;
  mem::Owned raw(test::BlockOf({0x12, 0x80}));
  const std::pair<int32_t, std::vector<std::pair<int32_t, int32_t>>> kinds[] = {
      {4, {{0, 0}, {255, 0xFFFFFF}, {128, 0x808080}}},  // grey ramp, as kind 5
      {5, {{0, 0}, {255, 0xFFFFFF}}},
      {6, {{1, 0x111111}, {15, 0xFFFFFF}}},  // sixteen grey levels
      {7, {{0, 0}, {1, 0xFFFFFF}}},
  };
  for (const auto& [kind, entries] : kinds) {
    ASSERT_EQ(doc.LoadRawData(raw.get(), kind, 2, 1, 2), Result::Ok) << kind;
    for (auto [index, color] : entries) {
      int32_t got = -1;
      EXPECT_EQ(doc.GetPalette(index, &got), Result::Ok);
      EXPECT_EQ(got, color) << kind << " " << index;
    }
  }
  EXPECT_EQ(doc.GetPaletteSize(), 8);  // kind 7 announces its two entries
}

TEST(RawData, SaveGivesTopDownRgbRows) {
  ImageDocument doc;
  mem::Owned raw(test::BlockOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  ASSERT_EQ(doc.LoadRawData(raw.get(), 2, 2, 2, 12), Result::Ok);
  mem::Handle out = nullptr;
  int32_t kind = 0, width = 0, height = 0, size = 0;
  ASSERT_EQ(doc.SaveRawData(&out, &kind, &width, &height, &size), Result::Ok);
  mem::Owned owned(out);
  EXPECT_EQ(test::BytesOf(out), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(size, 12);
  EXPECT_EQ(doc.SaveRawData(&out, &kind, &width, nullptr, &size), Result::BadParameter);
  mem::Owned four(test::MakeDib(3, 1, 4, Bytes(64, 0), [](int32_t x, int32_t) { return x; }));
  ASSERT_EQ(doc.SetDIB(four.get()), Result::Ok);
  EXPECT_EQ(doc.SaveRawData(&out, &kind, &width, &height, &size), Result::BadBitDepth);
  ImageDocument empty;
  EXPECT_EQ(empty.SaveRawData(&out, &kind, &width, &height, &size), Result::BadParameter);
  mem::Handle rows = nullptr;
  EXPECT_EQ(empty.GetImageData(&rows, &size), Result::BadParameter);
}

}  // namespace
}  // namespace pv
