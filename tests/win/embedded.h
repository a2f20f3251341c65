// The control as a container holds it: atl.dll's host creates it in a window and activates it
// in place. Tests of what a user sees and does start from here.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/global_memory.h"
#include "win_support.h"

namespace pv::wintest {

// atl.dll's container entry points, loaded at run time (MinGW has no import library for them).
struct Atl {
  Atl();
  ~Atl();
  HMODULE module;
  BOOL(WINAPI* winInit)() = nullptr;
  HRESULT(WINAPI* createControl)
  (LPCOLESTR, HWND, IStream*, IUnknown**, IUnknown**, REFIID, IUnknown*) = nullptr;
};

void PumpMessages();
HWND MakeHostWindow(int width, int height);

class Embedded : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Resize(int width, int height);
  void Show(int32_t width, int32_t height, const std::function<uint32_t(int32_t, int32_t)>& pixel);
  void ShowBlank(int32_t width, int32_t height);
  // A picture of 1 to 8 bits with a grey table of every index it has.
  void ShowIndexed(int32_t width, int32_t height, int bits,
                   const std::function<uint32_t(int32_t, int32_t)>& index);
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(window_, message, wParam, lParam);
  }

  // Hands the control a DIB (freed here) and lets it lay out.
  void ShowDib(mem::Handle dib);

  // The Log entries' display lines (CP932), as the log's text export writes them, each without
  // its CR LF.
  std::vector<std::string> LogTextLines();

  Atl atl_;
  IStream* stream_ = nullptr;
  HWND host_ = nullptr;
  HWND window_ = nullptr;
  Ref<IUnknown> container_;
  Ref<IPictavorCtl> control_;
};

// The window's client pixels, as PrintWindow renders them.
class Capture {
 public:
  explicit Capture(HWND window);
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  // 0xRRGGBB of client pixel (x, y).
  uint32_t At(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }

 private:
  int width_ = 0;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

// One call a sink received: the DISPID and the arguments in declared order.
struct Invocation {
  DISPID dispid;
  std::vector<VARTYPE> types;
  std::vector<LONG_PTR> values;
};

// A dispatch sink on the stack that records every Invoke; `onInvoke` runs inside the call.
// It answers IUnknown, IDispatch and `answers`.
class RecordingSink : public IDispatch {
 public:
  explicit RecordingSink(REFIID answers) : answers_(answers) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

  LONG refs = 1;
  std::vector<Invocation> calls;
  std::function<void(const Invocation&)> onInvoke;
  HRESULT answer = S_OK;

 private:
  IID answers_;
};

}  // namespace pv::wintest
