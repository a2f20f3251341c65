// The rows of the member table. Those that forward to an ImageDocument operation take the
// parameters' kinds and the way each argument reaches the operation from the operation's own
// signature, so a row cannot take an argument as another type than the document does.
#pragma once

#include <cstddef>
#include <string>
#include <tuple>
#include <utility>

#include "automation/members.h"

namespace pv::rows {

// How an argument slot becomes a parameter of the type T, and the kind of the row's parameter.
// A 16-bit parameter takes the low half of the interface's long.
template <typename T>
struct Slot;
template <>
struct Slot<int32_t> {
  static constexpr ParamKind kind = ParamKind::Long;
  static int32_t From(Call& k, size_t n) { return k.Long(n); }
};
template <>
struct Slot<int16_t> {
  static constexpr ParamKind kind = ParamKind::Long;
  static int16_t From(Call& k, size_t n) { return k.Short(n); }
};
template <>
struct Slot<double> {
  static constexpr ParamKind kind = ParamKind::Double;
  static double From(Call& k, size_t n) { return k.Double(n); }
};
template <>
struct Slot<float> {
  static constexpr ParamKind kind = ParamKind::Float;
  static float From(Call& k, size_t n) { return k.Float(n); }
};
template <>
struct Slot<const std::string&> {
  static constexpr ParamKind kind = ParamKind::String;
  static const std::string& From(Call& k, size_t n) { return k.String(n); }
};
template <>
struct Slot<mem::Handle> {
  static constexpr ParamKind kind = ParamKind::Handle;
  static mem::Handle From(Call& k, size_t n) { return k.Handle(n); }
};
template <>
struct Slot<mem::Handle*> {
  static constexpr ParamKind kind = ParamKind::OutHandle;
  static mem::Handle* From(Call& k, size_t n) { return &k.args[n].h; }
};
template <>
struct Slot<int32_t*> {
  static constexpr ParamKind kind = ParamKind::OutLong;
  static int32_t* From(Call& k, size_t n) { return &k.args[n].i; }
};
template <>
struct Slot<double*> {
  static constexpr ParamKind kind = ParamKind::OutDouble;
  static double* From(Call& k, size_t n) { return &k.args[n].d; }
};

// The parameter types of a document operation, const or not.
template <typename Operation>
struct Signature;
template <typename... A>
struct Signature<Result (ImageDocument::*)(A...)> {
  using Args = std::tuple<A...>;
};
template <typename... A>
struct Signature<Result (ImageDocument::*)(A...) const> {
  using Args = std::tuple<A...>;
};

template <auto Operation, typename... A, size_t... N>
void Forward(PortableControl& c, Call& k, std::tuple<A...>*, std::index_sequence<N...>) {
  k.SetResult((c.document().*Operation)(Slot<A>::From(k, N)...));
}

// The handler: every argument slot handed to the operation in order, its Result code to pVal.
template <auto Operation>
void Perform(PortableControl& c, Call& k) {
  using Args = typename Signature<decltype(Operation)>::Args;
  Forward<Operation>(c, k, static_cast<Args*>(nullptr),
                     std::make_index_sequence<std::tuple_size_v<Args>>());
}

template <typename... A>
std::vector<Param> Params(std::tuple<A...>*) {
  return {Param{nullptr, Slot<A>::kind}...};
}

// A row whose handler takes the interface's parameters itself. Its DISPID and interface
// parameters come from the interface description when the table is made; `own` are the
// control's Property parameters that follow them.
inline Member Row(const char* name, MemberKind kind, ReturnKind returns, bool logged,
                  MemberHandler handler, std::vector<Param> own = {}) {
  return {name, 0, kind, std::move(own), returns, logged, std::move(handler)};
}

inline Member Method(const char* name, ReturnKind returns, bool logged, MemberHandler handler) {
  return Row(name, MemberKind::Method, returns, logged, std::move(handler));
}

// A method row forwarding to `Operation`. Its parameters' kinds are the operation's; the
// table made from the interface description gives them names and ranges and holds the kinds
// against it.
template <auto Operation>
Member Forwarding(const char* name, bool logged) {
  using Args = typename Signature<decltype(Operation)>::Args;
  return {name,
          0,
          MemberKind::Method,
          Params(static_cast<Args*>(nullptr)),
          ReturnKind::ResultCode,
          logged,
          Perform<Operation>};
}

}  // namespace pv::rows
