#include "control/com/events.h"

#include <vector>

namespace pv::control {
namespace {

// IDispatch::Invoke takes the arguments last first.
std::vector<VARIANT> Reversed(std::initializer_list<EventArg> args) {
  std::vector<VARIANT> variants(args.size());
  auto out = variants.rbegin();
  for (const EventArg& arg : args) {
    VARIANT& v = *out++;
    VariantInit(&v);
    V_VT(&v) = arg.type;
    if (arg.type == VT_I8)
      V_I8(&v) = arg.value;
    else
      V_I4(&v) = static_cast<LONG>(arg.value);
  }
  return variants;
}

}  // namespace

void FireEvent(const ConnectionPoint& events, Event event, std::initializer_list<EventArg> args) {
  for (IUnknown* sink : events.Connected()) {
    // Each sink gets its own copy: one that clears its arguments leaves the next ones theirs.
    std::vector<VARIANT> variants = Reversed(args);
    DISPPARAMS params = {variants.data(), nullptr, static_cast<UINT>(variants.size()), 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    IDispatch_Invoke(reinterpret_cast<IDispatch*>(sink), static_cast<DISPID>(event), IID_NULL,
                     LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &exception,
                     &badArgument);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
}

}  // namespace pv::control
