// The Draw overlay's list: items in DIB coordinates, each in a slot of sixteen 32-bit words of
// one movable, zero-initialised block. A text item's strings are copies the list keeps beside
// the block; its slot names them by number (1 and up, 0 for none), so a slot keeps its sixteen
// words in the 64-bit build too, where two pointers would not fit beside the other fields.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

enum class OverlayKind : int32_t { Text = 1, Line = 2, Rectangle = 3, Ellipse = 4 };

// One item, decoded. Coordinates in DIB pixels, y downward from the top row.
struct OverlayItem {
  OverlayKind kind = OverlayKind::Line;
  // A line's ends; the bounding rectangle (left, top, right, bottom) of the other kinds.
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  float penWidth = 0;
  uint32_t penColor = 0;  // COLORREF, as every colour here
  int32_t penStyle = 0;
  uint32_t fillColor = 0;
  int32_t fillStyle = 0;
  int32_t fill = 0;
  // Text only.
  float charWidth = 0, charHeight = 0;
  int32_t weight = 0, escapement = 0, italic = 0, underline = 0, strikeOut = 0;
  uint32_t textColor = 0;
  const std::string* fontName = nullptr;  // the list's copies; null: none
  const std::string* text = nullptr;
};

constexpr size_t kOverlaySlotWords = 16;
constexpr size_t kOverlaySlotBytes = kOverlaySlotWords * 4;
constexpr int32_t kOverlayMaxItems = 1048575;

// The block size that appending to a list of `count` items needs: the first block, or the next
// step when the block is full by the growth rule; nullopt when the list holds all it may;
// 0 when the current block still has room.
std::optional<size_t> OverlayBlockBytesFor(int32_t count);

class OverlayList {
 public:
  OverlayList() = default;
  ~OverlayList();
  OverlayList(const OverlayList&) = delete;
  OverlayList& operator=(const OverlayList&) = delete;

  int32_t count() const { return count_; }
  bool empty() const { return count_ == 0; }
  size_t block_bytes() const { return mem::Size(block_); }

  // Appends a copy of `item` (its strings copied; a copy that fails leaves the name empty);
  // 7, with the list unchanged, without memory or room.
  Result Append(const OverlayItem& item, const std::string* fontName = nullptr,
                const std::string* text = nullptr);
  // False when the list is empty.
  bool RemoveLast();
  void Clear();

  OverlayItem At(int32_t index) const;
  std::array<uint32_t, kOverlaySlotWords> Words(int32_t index) const;
  // The items a selector names, in list order: -1 all, -2 the last, 0 and up one item (none
  // when outside the list).
  std::vector<OverlayItem> Selection(int32_t selector) const;

 private:
  // The string copy numbered `ref`; null for 0.
  const std::string* String(uint32_t ref) const;
  uint32_t Keep(const std::string* s);

  mem::Handle block_ = nullptr;
  int32_t count_ = 0;
  // In item order, so the last item's strings are the last ones.
  std::vector<std::unique_ptr<std::string>> strings_;
};

}  // namespace pv
