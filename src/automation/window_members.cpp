// The cursor members keep the cursor ID as the control's state, so a host without a window
// answers them too; the device-context members need the window itself.
#include "automation/window_members.h"

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
  for (Member* row : {&clientDC, &releaseDC}) {
    row->needsWindow = true;
    table->push_back(std::move(*row));
  }
}

}  // namespace pv
