#include "control/com/script_arguments.h"

namespace pv::control {
namespace {

// The method `id`, when it is one; scripts call methods with DISPATCH_METHOD, often together
// with DISPATCH_PROPERTYGET.
FUNCDESC* FindMethod(ITypeInfo* info, DISPID id, WORD flags) {
  TYPEATTR* attr = nullptr;
  if (!(flags & DISPATCH_METHOD) || FAILED(ITypeInfo_GetTypeAttr(info, &attr))) return nullptr;
  FUNCDESC* found = nullptr;
  for (UINT i = 0; i < attr->cFuncs && !found; ++i) {
    FUNCDESC* f = nullptr;
    if (FAILED(ITypeInfo_GetFuncDesc(info, i, &f))) continue;
    if (f->memid == id && f->invkind == INVOKE_FUNC)
      found = f;
    else
      ITypeInfo_ReleaseFuncDesc(info, f);
  }
  ITypeInfo_ReleaseTypeAttr(info, attr);
  return found;
}

bool IsScriptReference(const VARIANT& v) {
  return V_VT(&v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&v);
}

}  // namespace

ScriptArguments::ScriptArguments(ITypeInfo* info, DISPID id, WORD flags, const DISPPARAMS& params)
    : arguments_(params.rgvarg, params.rgvarg + params.cArgs), params_(params) {
  params_.rgvarg = arguments_.data();
  FUNCDESC* method = FindMethod(info, id, flags);
  if (!method) return;
  const UINT positional = params.cArgs - params.cNamedArgs;
  unwrapped_.reserve(positional);
  for (UINT i = 0; i < positional && i < static_cast<UINT>(method->cParams); ++i) {
    VARIANT& argument = arguments_[params.cArgs - 1 - i];  // the last argument comes first
    const TYPEDESC& type = method->lprgelemdescParam[i].tdesc;
    if (!IsScriptReference(argument) || type.vt != VT_PTR) continue;
    Unwrapped& slot = unwrapped_.emplace_back();
    slot.callers = V_VARIANTREF(&argument);
    VariantInit(&slot.typed);
    if (FAILED(VariantChangeType(&slot.typed, slot.callers, 0, type.lptdesc->vt))) {
      // A value that does not convert (an empty variable, say) starts as zero.
      VariantInit(&slot.typed);
      V_VT(&slot.typed) = type.lptdesc->vt;
      V_I8(&slot.typed) = 0;
    }
    V_VT(&argument) = VT_BYREF | type.lptdesc->vt;
    V_BYREF(&argument) = &V_I8(&slot.typed);
  }
  ITypeInfo_ReleaseFuncDesc(info, method);
}

ScriptArguments::~ScriptArguments() {
  for (Unwrapped& slot : unwrapped_) VariantClear(&slot.typed);
}

void ScriptArguments::WriteBack() {
  for (Unwrapped& slot : unwrapped_) {
    VariantClear(slot.callers);
    VariantCopy(slot.callers, &slot.typed);
  }
}

}  // namespace pv::control
