// pictavor.exe: the registered control, created by its ProgID and called by member name
// through IDispatch, the way any automation client calls it.
#include <fcntl.h>
#include <io.h>
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>

#include "host/runner.h"
#include "platform/text_encoding.h"

namespace pv::host {
namespace {

// Handles travel as pointer-sized integers.
constexpr VARTYPE kHandleType = sizeof(void*) == 8 ? VT_I8 : VT_I4;

std::string HexCode(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// What an out or in/out argument points at.
struct Referent {
  LONG l = 0;
  LONG_PTR h = 0;
  double d = 0;
  float f = 0;
};

// The VARIANT of one argument; by reference into `referent` for pointer parameters.
bool Bind(const Param& param, const Arg& arg, Referent& referent, VARIANT* v, std::string* error) {
  switch (param.kind) {
    case ParamKind::Long: V_VT(v) = VT_I4, V_I4(v) = arg.i; break;
    case ParamKind::Double: V_VT(v) = VT_R8, V_R8(v) = arg.d; break;
    case ParamKind::Float: V_VT(v) = VT_R4, V_R4(v) = static_cast<float>(arg.d); break;
    case ParamKind::Handle:
      V_VT(v) = kHandleType;
      if (kHandleType == VT_I8)
        V_I8(v) = reinterpret_cast<intptr_t>(arg.h);
      else
        V_I4(v) = static_cast<LONG>(reinterpret_cast<intptr_t>(arg.h));
      break;
    case ParamKind::String: {
      std::wstring text;
      if (!Utf8ToWide(arg.s, &text)) {
        *error = std::string("parameter ") + param.name + " is not UTF-8";
        return false;
      }
      V_VT(v) = VT_BSTR;
      V_BSTR(v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      break;
    }
    case ParamKind::OutLong:
    case ParamKind::InOutLong:
      referent.l = arg.i;
      V_VT(v) = VT_BYREF | VT_I4, V_BYREF(v) = &referent.l;
      break;
    case ParamKind::OutHandle: V_VT(v) = VT_BYREF | kHandleType, V_BYREF(v) = &referent.h; break;
    case ParamKind::OutDouble: V_VT(v) = VT_BYREF | VT_R8, V_BYREF(v) = &referent.d; break;
    case ParamKind::OutFloat: V_VT(v) = VT_BYREF | VT_R4, V_BYREF(v) = &referent.f; break;
    case ParamKind::Property: break;  // not passed: the control reads its own
  }
  return true;
}

// The outputs back into the call's arguments.
void Collect(const Param& param, const Referent& referent, Arg& arg) {
  switch (param.kind) {
    case ParamKind::OutLong:
    case ParamKind::InOutLong: arg.i = referent.l; break;
    case ParamKind::OutHandle: arg.h = reinterpret_cast<mem::Handle>(referent.h); break;
    case ParamKind::OutDouble: arg.d = referent.d; break;
    case ParamKind::OutFloat: arg.d = referent.f; break;
    default: break;
  }
}

WORD InvokeFlags(MemberKind kind) {
  switch (kind) {
    case MemberKind::PropertyGet: return DISPATCH_PROPERTYGET;
    case MemberKind::PropertyPut: return DISPATCH_PROPERTYPUT;
    default: return DISPATCH_METHOD;
  }
}

class DispatchRunner : public MemberRunner {
 public:
  DispatchRunner() = default;
  explicit DispatchRunner(IDispatch* control) : dispatch_(control) { dispatch_->AddRef(); }
  ~DispatchRunner() override {
    if (dispatch_) dispatch_->Release();
    if (initialized_) CoUninitialize();
  }
  DispatchRunner(const DispatchRunner&) = delete;
  DispatchRunner& operator=(const DispatchRunner&) = delete;

  bool Create(std::string* error) {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    initialized_ = SUCCEEDED(hr);
    CLSID clsid;
    if (SUCCEEDED(hr)) hr = CLSIDFromProgID(L"Pictavor.PictavorCtl", &clsid);
    if (SUCCEEDED(hr))
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&dispatch_));
    if (FAILED(hr))
      *error =
          "cannot create Pictavor.PictavorCtl (" + HexCode(hr) + "); is Pictavor.dll registered?";
    return SUCCEEDED(hr);
  }

  bool Run(const Member& member, Call& call, std::string* error) override {
    DISPID id = 0;
    if (!Identify(member, &id, error)) return false;
    std::vector<size_t> passed;  // the parameters that travel, in order
    for (size_t n = 0; n < member.params.size(); ++n)
      if (IsInterfaceParam(member.params[n].kind)) passed.push_back(n);
    const size_t count = passed.size();
    std::vector<VARIANT> arguments(count);  // last parameter first
    std::vector<Referent> referents(count);
    for (VARIANT& v : arguments) VariantInit(&v);
    bool bound = true;
    for (size_t i = 0; i < count && bound; ++i) {
      const size_t n = passed[i];
      bound = Bind(member.params[n], call.args[n], referents[i], &arguments[count - 1 - i], error);
    }
    HRESULT hr = E_INVALIDARG;
    VARIANT result;
    VariantInit(&result);
    if (bound) {
      DISPID named = DISPID_PROPERTYPUT;
      const bool put = member.kind == MemberKind::PropertyPut;
      DISPPARAMS params = {arguments.data(), put ? &named : nullptr, static_cast<UINT>(count),
                           put ? 1u : 0u};
      hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, InvokeFlags(member.kind), &params,
                             put ? nullptr : &result, nullptr, nullptr);
      if (FAILED(hr)) *error = member.CallName() + " failed with " + HexCode(hr);
    }
    for (VARIANT& v : arguments) VariantClear(&v);
    if (SUCCEEDED(hr)) {
      for (size_t i = 0; i < count; ++i)
        Collect(member.params[passed[i]], referents[i], call.args[passed[i]]);
      TakeResult(member, &result, call);
    }
    VariantClear(&result);
    return SUCCEEDED(hr);
  }

 private:
  bool Identify(const Member& member, DISPID* id, std::string* error) {
    std::wstring name;
    Utf8ToWide(member.name, &name);
    LPOLESTR names[] = {name.data()};
    const HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
    if (FAILED(hr)) *error = std::string("the control has no member ") + member.name;
    return SUCCEEDED(hr);
  }

  // pVal: a long, an OLE_COLOR or a pointer-sized handle, widened to 64 bits.
  static void TakeResult(const Member& member, VARIANT* result, Call& call) {
    if (member.returns == ReturnKind::None || FAILED(VariantChangeType(result, result, 0, VT_I8)))
      return;
    if (member.returns == ReturnKind::Block)
      call.SetBlock(reinterpret_cast<mem::Handle>(static_cast<intptr_t>(V_I8(result))));
    else
      call.pVal = V_I8(result);
  }

  IDispatch* dispatch_ = nullptr;
  bool initialized_ = false;
};

}  // namespace

std::unique_ptr<MemberRunner> CreateRunner(std::string* error) {
  auto runner = std::make_unique<DispatchRunner>();
  if (!runner->Create(error)) return nullptr;
  return runner;
}

std::unique_ptr<MemberRunner> CreateRunner(IDispatch* control) {
  return std::make_unique<DispatchRunner>(control);
}

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

std::FILE* ResultStream() {
  std::fflush(stdout);
  const int results = _dup(_fileno(stdout));
  if (results >= 0) _setmode(results, _O_BINARY);  // LF line ends, as everywhere
  std::FILE* stream = results >= 0 ? _fdopen(results, "wb") : nullptr;
  if (!stream) return stdout;
  _dup2(_fileno(stderr), _fileno(stdout));
  return stream;
}

}  // namespace pv::host
