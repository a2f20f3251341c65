// IPictavorCtl's vtable slots lead into the portable member table: the type library says which
// DISPID and kind a slot has, the table row with that DISPID and kind does the work. Arguments
// go in and come back by the row's parameter kinds, so a row added to the table answers through
// its slot with no change here. A slot without a row answers E_NOTIMPL.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <vector>

#include "automation/invoke.h"
#include "control/com/com.h"
#include "platform/text_encoding.h"

namespace pv::control {

constexpr size_t kSlotCount = 147;

// The row that vtable slot `slot` runs; null when the table has none (or the type library
// could not be read).
const Member* RowAtSlot(size_t slot);

// The portable control behind one of our IPictavorCtl pointers.
PortableControl& PortableOf(IPictavorCtl* iface);

// One call through a typed slot: the C arguments into the row's Call, the row run, the outputs
// written back. The arguments are the row's interface parameters in order, then, for a method
// or property get, pVal.
class SlotCall {
 public:
  explicit SlotCall(const Member& member) : member_(member) {
    call_.args.resize(member.params.size());
    for (size_t n = 0; n < member.params.size(); ++n)
      if (IsInterfaceParam(member.params[n].kind)) rows_.push_back(n);
    rows_.push_back(kPVal);
  }

  template <typename... A>
  HRESULT Run(PortableControl& control, A... args) {
    const bool hasPVal = member_.returns != ReturnKind::None;
    if (sizeof...(A) != rows_.size() - (hasPVal ? 0 : 1)) return E_UNEXPECTED;
    size_t n = 0;
    HRESULT hr = S_OK;
    ((hr = SUCCEEDED(hr) ? In(n++, args) : hr), ...);
    if (FAILED(hr)) return hr;
    // A missing output is the member's own bad parameter, answered in pVal; nothing runs.
    if (missingOutput_)
      call_.pVal = ResultValue(Result::BadParameter);
    else
      InvokeMember(control, member_, call_);
    n = 0;
    (Out(n++, args), ...);
    return S_OK;
  }

 private:
  // An argument that disagrees with its row: the interface and the table differ.
  static constexpr HRESULT kMismatch = E_UNEXPECTED;
  static constexpr size_t kPVal = SIZE_MAX;

  // The C argument at `position`: the row parameter it binds to, or kPVal.
  template <typename T>
  HRESULT In(size_t position, T value) {
    const size_t n = rows_[position];
    if (n == kPVal) {
      if constexpr (std::is_pointer_v<T>) {
        using P = std::remove_pointer_t<T>;
        const size_t needed = member_.returns == ReturnKind::Block ? sizeof(void*) : 4;
        if (!std::is_integral_v<P> || sizeof(P) < needed) return kMismatch;
        return value ? S_OK : E_POINTER;
      }
      return kMismatch;
    }
    Arg& arg = call_.args[n];
    const ParamKind kind = member_.params[n].kind;
    if constexpr (std::is_same_v<T, BSTR>) {
      if (kind != ParamKind::String) return kMismatch;
      arg.s =
          WideToUtf8(value ? std::wstring_view(value, SysStringLen(value)) : std::wstring_view());
    } else if constexpr (std::is_floating_point_v<T>) {
      if (kind != ParamKind::Double && kind != ParamKind::Float) return kMismatch;
      arg.d = value;
    } else if constexpr (std::is_integral_v<T>) {
      if (kind == ParamKind::Long)
        arg.i = static_cast<int32_t>(value);
      else if (kind == ParamKind::Handle && sizeof(T) >= sizeof(void*))
        arg.h = reinterpret_cast<mem::Handle>(static_cast<intptr_t>(value));
      else
        return kMismatch;
    } else if constexpr (std::is_pointer_v<T>) {
      if (!Receives<std::remove_pointer_t<T>>(kind)) return kMismatch;
      if (value)
        Preload(kind, *value, &arg);
      else
        missingOutput_ = true;
    } else {
      return kMismatch;
    }
    return S_OK;
  }

  // Whether an out parameter of pointee type P can take what the row hands out.
  template <typename P>
  static bool Receives(ParamKind kind) {
    switch (kind) {
      case ParamKind::OutLong:
      case ParamKind::InOutLong: return std::is_integral_v<P> && sizeof(P) == 4;
      case ParamKind::OutHandle: return std::is_integral_v<P> && sizeof(P) >= sizeof(void*);
      case ParamKind::OutDouble: return std::is_same_v<P, double>;
      case ParamKind::OutFloat: return std::is_same_v<P, float>;
      default: return false;
    }
  }

  // An out parameter starts as the caller's value, so what the row leaves untouched is written
  // back unchanged.
  template <typename P>
  static void Preload(ParamKind kind, P value, Arg* arg) {
    if constexpr (std::is_floating_point_v<P>) {
      arg->d = value;
    } else if (kind == ParamKind::OutHandle) {
      arg->h = reinterpret_cast<mem::Handle>(static_cast<intptr_t>(value));
    } else {
      arg->i = static_cast<int32_t>(value);
    }
  }

  // Writes back what the row handed out; In has checked that the types agree.
  template <typename T>
  void Out(size_t position, T value) {
    if constexpr (std::is_pointer_v<T> && !std::is_same_v<T, BSTR>) {
      using P = std::remove_pointer_t<T>;
      const size_t n = rows_[position];
      if (!value) return;
      if (n == kPVal) {
        if constexpr (std::is_integral_v<P>)
          *value = member_.returns == ReturnKind::Block
                       ? static_cast<P>(reinterpret_cast<intptr_t>(call_.pValBlock))
                       : static_cast<P>(call_.pVal);
        return;
      }
      const ParamKind kind = member_.params[n].kind;
      const Arg& arg = call_.args[n];
      if constexpr (std::is_integral_v<P>) {
        if (kind == ParamKind::OutHandle)
          *value = static_cast<P>(reinterpret_cast<intptr_t>(arg.h));
        else if (kind == ParamKind::OutLong || kind == ParamKind::InOutLong)
          *value = static_cast<P>(arg.i);
      } else if constexpr (std::is_floating_point_v<P>) {
        if (kind == ParamKind::OutDouble || kind == ParamKind::OutFloat)
          *value = static_cast<P>(arg.d);
      }
    }
  }

  const Member& member_;
  Call call_;
  std::vector<size_t> rows_;  // by C argument position
  bool missingOutput_ = false;
};

// The function in vtable slot `Slot`; its parameter types come from the slot it fills.
template <size_t Slot, typename... A>
HRESULT STDMETHODCALLTYPE Route(IPictavorCtl* iface, A... args) {
  const Member* member = RowAtSlot(Slot);
  if (!member) return E_NOTIMPL;
  try {
    return SlotCall(*member).Run(PortableOf(iface), args...);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace pv::control

// Fills an IPictavorCtlVtbl member with its route.
#define PV_ROUTE(name) \
  .name = ::pv::control::Route<offsetof(IPictavorCtlVtbl, name) / sizeof(void*)>
