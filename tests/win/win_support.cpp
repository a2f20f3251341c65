#include "win_support.h"

#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace pv::wintest {

std::wstring ThisDll() { return Wide(PICTAVOR_DLL); }

std::wstring BuildDll(const char* preset) {
  return Wide(std::string(PICTAVOR_BUILDS) + "/" + preset + "/bin/Pictavor.dll");
}

std::string TestDataPath(const std::string& name) {
  return std::string(PICTAVOR_WIN_TEST_DATA) + "/" + name;
}

std::wstring Wide(const std::string& utf8) {
  std::wstring wide;
  Utf8ToWide(utf8, &wide);
  return wide;
}

ControlModule::ControlModule() : module_(LoadLibraryW(ThisDll().c_str())) {}

ControlModule::~ControlModule() {
  if (module_) FreeLibrary(module_);
}

Ref<IPictavorCtl> ControlModule::Create() {
  Ref<IPictavorCtl> control;
  auto getClassObject = Export<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
  Ref<IClassFactory> factory;
  if (!getClassObject || FAILED(getClassObject(CLSID_PictavorCtl, IID_IClassFactory,
                                               reinterpret_cast<void**>(factory.out()))))
    return control;
  factory->CreateInstance(nullptr, IID_IPictavorCtl, reinterpret_cast<void**>(control.out()));
  return control;
}

HRESULT ControlModule::CanUnloadNow() {
  auto canUnloadNow = Export<HRESULT(WINAPI*)()>("DllCanUnloadNow");
  return canUnloadNow ? canUnloadNow() : E_FAIL;
}

}  // namespace pv::wintest

// The tests run in a single-threaded apartment, as the control's hosts do.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
