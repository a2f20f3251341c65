// Shared by the tests of Pictavor.dll: the DLLs under test, controls made by the DLL's own class
// factory (no registration needed), COM references and strings.
#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <utility>

#include "pictavor_h.h"

namespace pv::wintest {

// The DLL of this build, and the DLLs of both builds (null path: not built).
std::wstring ThisDll();
std::wstring BuildDll(const char* preset);
std::string TestDataPath(const std::string& name);

std::wstring Wide(const std::string& utf8);

// A COM reference, released when it goes.
template <typename T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* p) : p_(p) {}
  ~Ref() { reset(); }
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Ref& operator=(Ref&& o) noexcept {
    if (this != &o) reset(std::exchange(o.p_, nullptr));
    return *this;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** out() {
    reset();
    return &p_;
  }
  void reset(T* p = nullptr) {
    if (p_) p_->Release();
    p_ = p;
  }
  explicit operator bool() const { return p_ != nullptr; }
  template <typename U>
  Ref<U> As(REFIID iid) const {
    Ref<U> other;
    if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(other.out()));
    return other;
  }

 private:
  T* p_ = nullptr;
};

// A BSTR freed when it goes.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text = nullptr) : b_(text ? SysAllocString(text) : nullptr) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }
  BSTR* out() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }
  std::wstring str() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

 private:
  BSTR b_;
};

// A COM object that lives on the stack: it answers IUnknown and `I`, and counts no references.
template <typename I>
class StackObject : public I {
 public:
  explicit StackObject(REFIID iid) : iid_(iid) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_) ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

 private:
  IID iid_;
};

// Pictavor.dll loaded by path, for as long as the object lives.
class ControlModule {
 public:
  ControlModule();
  ~ControlModule();
  ControlModule(const ControlModule&) = delete;
  ControlModule& operator=(const ControlModule&) = delete;

  Ref<IPictavorCtl> Create();
  HRESULT CanUnloadNow();
  template <typename F>
  F Export(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

}  // namespace pv::wintest
