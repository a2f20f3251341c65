// Pictavor from C++ through its interface: IPictavorCtl as the generated header declares it,
// each method's Result code in its last parameter (the HRESULT is always S_OK).
//
//   convert IN OUT.png     loads IN, rotates it by 30 degrees, reduces it to 256 colours and
//                          saves it as a PNG
//
// Build against the SDK alone (MinGW):
//   x86_64-w64-mingw32-g++ convert.cpp -I SDK/include -lole32 -loleaut32 -luuid
#define INITGUID
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "pictavor.h"

namespace {

// A BSTR for the call's length.
class Bstr {
 public:
  explicit Bstr(const char* text) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
    text_ = SysAllocString(wide);
  }
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return text_; }

 private:
  BSTR text_;
};

bool Report(const char* step, LONG result) {
  std::printf("%s %ld\n", step, static_cast<long>(result));
  return result == 0;
}

bool Convert(IPictavorCtl* control, const char* in, const char* out) {
  LONG result = -1;
  return (control->Load(Bstr(in), 0, 0, &result), Report("Load", result)) &&
         (control->Rotate(30.0f, 1, 0, &result), Report("Rotate", result)) &&
         (control->ColorRes(8, 0, 0, 0, &result), Report("ColorRes", result)) &&
         (control->Save(Bstr(out), 6, 0, 0, &result), Report("Save", result));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: convert IN OUT.png\n");
    return 2;
  }
  CoInitialize(nullptr);
  IPictavorCtl* control = nullptr;
  const HRESULT hr = CoCreateInstance(CLSID_PictavorCtl, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IPictavorCtl, reinterpret_cast<void**>(&control));
  if (FAILED(hr)) {
    std::fprintf(stderr, "cannot create Pictavor.PictavorCtl (0x%08lX)\n",
                 static_cast<unsigned long>(hr));
    return 1;
  }
  const bool ok = Convert(control, argv[1], argv[2]);
  control->Release();
  CoUninitialize();
  return ok ? 0 : 1;
}
