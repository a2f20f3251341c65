#include "document/overlay.h"

#include <cstring>
#include <new>

#include "base/bytes.h"

namespace pv {
namespace {

constexpr int32_t kSlotsPerStep = 1024;
constexpr size_t kStepBytes = kSlotsPerStep * kOverlaySlotBytes;  // 65536
constexpr int32_t kMaxSteps = 1024;

using SlotWords = std::array<uint32_t, kOverlaySlotWords>;

uint32_t FloatWord(float f) {
  uint32_t w;
  std::memcpy(&w, &f, 4);
  return w;
}

float WordFloat(uint32_t w) {
  float f;
  std::memcpy(&f, &w, 4);
  return f;
}

uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }
int32_t I(uint32_t w) { return static_cast<int32_t>(w); }

// Every kind but text: the two points, the pen, then the line's style or the fill.
SlotWords Encode(const OverlayItem& item, uint32_t fontRef, uint32_t textRef) {
  const uint32_t kind = U(static_cast<int32_t>(item.kind));
  if (item.kind == OverlayKind::Text)
    return {kind,
            FloatWord(item.charWidth),
            FloatWord(item.charHeight),
            FloatWord(item.x1),
            FloatWord(item.y1),
            FloatWord(item.x2),
            FloatWord(item.y2),
            U(item.weight),
            U(item.escapement),
            U(item.italic),
            U(item.underline),
            U(item.strikeOut),
            item.textColor,
            fontRef,
            textRef,
            0};
  SlotWords w{kind,
              FloatWord(item.x1),
              FloatWord(item.y1),
              FloatWord(item.x2),
              FloatWord(item.y2),
              FloatWord(item.penWidth),
              item.penColor};
  if (item.kind == OverlayKind::Line) {
    w[7] = U(item.penStyle);
  } else {
    w[7] = item.fillColor;
    w[8] = U(item.fillStyle);
    w[9] = U(item.fill);
  }
  return w;
}

}  // namespace

std::optional<size_t> OverlayBlockBytesFor(int32_t count) {
  if (count == 0) return kStepBytes;
  if (count % kSlotsPerStep != kSlotsPerStep - 1) return 0;
  const int32_t steps = count / kSlotsPerStep + 2;
  if (steps > kMaxSteps) return std::nullopt;
  return static_cast<size_t>(steps) * kStepBytes;
}

OverlayList::~OverlayList() { mem::Free(block_); }

void OverlayList::Clear() {
  mem::Free(block_);
  block_ = nullptr;
  count_ = 0;
  strings_.clear();
}

uint32_t OverlayList::Keep(const std::string* s) {
  if (!s) return 0;
  try {
    strings_.push_back(std::make_unique<std::string>(*s));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return static_cast<uint32_t>(strings_.size());
}

Result OverlayList::Append(const OverlayItem& item, const std::string* fontName,
                           const std::string* text) {
  const std::optional<size_t> bytes = OverlayBlockBytesFor(count_);
  if (!bytes) return Result::OutOfMemory;
  if (*bytes && block_ && !mem::Resize(block_, *bytes)) return Result::OutOfMemory;
  if (*bytes && !block_ && !(block_ = mem::Alloc(*bytes))) return Result::OutOfMemory;
  const size_t stringsBefore = strings_.size();
  uint32_t fontRef = 0, textRef = 0;
  if (item.kind == OverlayKind::Text) {
    fontRef = Keep(fontName);
    textRef = Keep(text);
  }
  mem::Locked slots(block_);
  if (!slots) {
    strings_.resize(stringsBefore);
    return Result::OutOfMemory;
  }
  const SlotWords words = Encode(item, fontRef, textRef);
  uint8_t* slot = slots.data() + static_cast<size_t>(count_) * kOverlaySlotBytes;
  for (size_t n = 0; n < kOverlaySlotWords; ++n) WriteU32(slot + 4 * n, words[n]);
  ++count_;
  return Result::Ok;
}

bool OverlayList::RemoveLast() {
  if (count_ == 0) return false;
  const SlotWords last = Words(count_ - 1);
  if (I(last[0]) == static_cast<int32_t>(OverlayKind::Text)) {
    // Its strings are the last ones kept; a missing one was never kept.
    for (uint32_t ref : {last[14], last[13]})
      if (ref) strings_.pop_back();
  }
  mem::Locked slots(block_);
  if (slots) std::memset(slots.data() + (count_ - 1) * kOverlaySlotBytes, 0, kOverlaySlotBytes);
  --count_;
  return true;
}

std::array<uint32_t, kOverlaySlotWords> OverlayList::Words(int32_t index) const {
  SlotWords words{};
  mem::Locked slots(block_);
  if (!slots || index < 0 || index >= count_) return words;
  const uint8_t* slot = slots.data() + static_cast<size_t>(index) * kOverlaySlotBytes;
  for (size_t n = 0; n < kOverlaySlotWords; ++n) words[n] = ReadU32(slot + 4 * n);
  return words;
}

const std::string* OverlayList::String(uint32_t ref) const {
  return ref && ref <= strings_.size() ? strings_[ref - 1].get() : nullptr;
}

OverlayItem OverlayList::At(int32_t index) const {
  const SlotWords w = Words(index);
  OverlayItem item;
  item.kind = static_cast<OverlayKind>(I(w[0]));
  if (item.kind == OverlayKind::Text) {
    item.charWidth = WordFloat(w[1]);
    item.charHeight = WordFloat(w[2]);
    item.x1 = WordFloat(w[3]);
    item.y1 = WordFloat(w[4]);
    item.x2 = WordFloat(w[5]);
    item.y2 = WordFloat(w[6]);
    item.weight = I(w[7]);
    item.escapement = I(w[8]);
    item.italic = I(w[9]);
    item.underline = I(w[10]);
    item.strikeOut = I(w[11]);
    item.textColor = w[12];
    item.fontName = String(w[13]);
    item.text = String(w[14]);
    return item;
  }
  item.x1 = WordFloat(w[1]);
  item.y1 = WordFloat(w[2]);
  item.x2 = WordFloat(w[3]);
  item.y2 = WordFloat(w[4]);
  item.penWidth = WordFloat(w[5]);
  item.penColor = w[6];
  if (item.kind == OverlayKind::Line) {
    item.penStyle = I(w[7]);
  } else {
    item.fillColor = w[7];
    item.fillStyle = I(w[8]);
    item.fill = I(w[9]);
  }
  return item;
}

std::vector<OverlayItem> OverlayList::Selection(int32_t selector) const {
  std::vector<OverlayItem> items;
  if (selector == -1) {
    items.reserve(count_);
    for (int32_t n = 0; n < count_; ++n) items.push_back(At(n));
  } else if (selector == -2) {
    if (count_ > 0) items.push_back(At(count_ - 1));
  } else if (selector >= 0 && selector < count_) {
    items.push_back(At(selector));
  }
  return items;
}

}  // namespace pv
