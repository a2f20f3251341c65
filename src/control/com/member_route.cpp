#include "control/com/member_route.h"

#include <array>

#include "control/com/module.h"

namespace pv::control {
namespace {

using Routes = std::array<const Member*, kSlotCount>;

MemberKind KindOf(INVOKEKIND invoke) {
  if (invoke == INVOKE_PROPERTYGET) return MemberKind::PropertyGet;
  if (invoke == INVOKE_PROPERTYPUT || invoke == INVOKE_PROPERTYPUTREF)
    return MemberKind::PropertyPut;
  return MemberKind::Method;
}

// Slot by slot, the row of the member the type library places there.
Routes ReadRoutes() {
  Routes routes{};
  ITypeInfo* info = nullptr;
  if (FAILED(GetInterfaceTypeInfo(&info))) return routes;
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(ITypeInfo_GetTypeAttr(info, &attr))) {
    for (UINT i = 0; i < attr->cFuncs; ++i) {
      FUNCDESC* func = nullptr;
      if (FAILED(ITypeInfo_GetFuncDesc(info, i, &func))) continue;
      const size_t slot = static_cast<size_t>(func->oVft) / sizeof(void*);
      if (slot < kSlotCount) routes[slot] = FindMember(func->memid, KindOf(func->invkind));
      ITypeInfo_ReleaseFuncDesc(info, func);
    }
    ITypeInfo_ReleaseTypeAttr(info, attr);
  }
  ITypeInfo_Release(info);
  return routes;
}

}  // namespace

const Member* RowAtSlot(size_t slot) {
  static const Routes routes = ReadRoutes();
  return slot < kSlotCount ? routes[slot] : nullptr;
}

}  // namespace pv::control
