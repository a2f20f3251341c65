// The cursor members keep the cursor ID as the control's state, so a host without a window
// answers them too; the device-context members and the graph and log windows need the window
// itself.
#include "automation/window_members.h"

#include <algorithm>

#include "automation/member_rows.h"

namespace pv {
namespace {

// Loads the system cursor named by the low 16 bits of `id` and keeps the whole `id`; pVal is
// the previous ID, or 0 when the cursor does not load (and nothing changes).
void SetCursor(PortableControl& c, Call& k, int32_t id) {
  if (!c.display().ShowSystemCursor(static_cast<uint16_t>(id))) {
    k.SetValue(0);
    return;
  }
  k.SetValue(c.properties().cursorId);
  c.properties().cursorId = id;
}

template <int32_t Id>
void SetStandardCursor(PortableControl& c, Call& k) {
  SetCursor(c, k, Id);
}

void DispHistogram(PortableControl& c, Call& k) {
  const ImageDocument& d = c.document();
  const int32_t x = k.Long(0), y = k.Long(1), width = k.Long(2), height = k.Long(3);
  const int32_t bits = d.GetBitmapBits();
  Result result = Result::BadBitDepth;
  if (bits == 8) {
    mem::Handle gray = nullptr;
    result = d.GetHistogram(x, y, width, height, &gray);
    if (result == Result::Ok) c.display().ShowHistogram({TakeHistogramCounts(gray)});
  } else if (bits == 24 || bits == 32) {
    mem::Handle red = nullptr, green = nullptr, blue = nullptr;
    result = d.GetRGBHistogram(x, y, width, height, &red, &green, &blue);
    if (result == Result::Ok)
      c.display().ShowHistogram(
          {TakeHistogramCounts(red), TakeHistogramCounts(green), TakeHistogramCounts(blue)});
  }
  k.SetResult(result);
}

void DispProfile(PortableControl& c, Call& k) {
  const ImageDocument& d = c.document();
  Profile line{k.Long(0), k.Long(1), k.Long(2), k.Long(3), nullptr, 0, d.GetBitmapBits()};
  mem::Handle block = nullptr;
  const Result result =
      d.GetProfile(line.startX, line.startY, line.endX, line.endY, &block, &line.count);
  if (result == Result::Ok) {
    const mem::Owned owned(block);
    const mem::Locked samples(block);
    // Never more samples than the block holds.
    const size_t width = line.bitCount > 8 ? 3 : 1;
    line.count = static_cast<int32_t>(
        std::min<size_t>(static_cast<size_t>(std::max(line.count, 0)), samples.size() / width));
    line.samples = samples.data();
    c.display().ShowProfile(line);
  }
  k.SetResult(result);
}

// Showing the window switches logging on; hiding it leaves logging as it is.
void DispLogDialog(PortableControl& c, Call& k) {
  const int32_t state = k.Long(0);
  k.SetValue(0);
  if (static_cast<int32_t>(c.display().LogWindowVisible()) == state) return;
  c.display().ShowLogWindow(state != 0);
  if (state != 0) c.log().StartLogging();
}

}  // namespace

void AddWindowMembers(std::vector<Member>* table) {
  using rows::Method;
  table->push_back(Method("SetCursorOfArrow", ReturnKind::Value, false, SetStandardCursor<32512>));
  table->push_back(Method("SetCursorOfCross", ReturnKind::Value, false, SetStandardCursor<32515>));
  table->push_back(Method("SetCursorOfWait", ReturnKind::Value, false, SetStandardCursor<32514>));
  table->push_back(Method("SetCursorID", ReturnKind::Value, false,
                          [](PortableControl& c, Call& k) { SetCursor(c, k, k.Long(0)); }));
  table->push_back(Method("GetCursorID", ReturnKind::Value, false, [](PortableControl& c, Call& k) {
    k.SetValue(c.properties().cursorId);
  }));

  Member clientDC = Method("GetClientDC", ReturnKind::Value, false,
                           [](PortableControl& c, Call& k) { k.pVal = c.display().ClientDC(); });
  Member releaseDC =
      Method("ReleaseClientDC", ReturnKind::Value, false, [](PortableControl& c, Call& k) {
        k.SetValue(c.display().ReleaseClientDC(reinterpret_cast<intptr_t>(k.Handle(0))));
      });
  Member histogram = Method("DispHistogram", ReturnKind::ResultCode, false, DispHistogram);
  Member profile = Method("DispProfile", ReturnKind::ResultCode, false, DispProfile);
  Member logDialog = Method("DispLogDialog", ReturnKind::ResultCode, false, DispLogDialog);
  for (Member* row : {&clientDC, &releaseDC, &histogram, &profile, &logDialog}) {
    row->needsWindow = true;
    table->push_back(std::move(*row));
  }
}

}  // namespace pv
