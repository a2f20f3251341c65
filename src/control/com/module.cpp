// The module's entry points: DllMain, the class factory, DllGetClassObject, DllCanUnloadNow.
#include "control/com/module.h"

#include <string>

#include "control/com/control_object.h"

namespace pv::control {
namespace {

HINSTANCE g_instance = nullptr;
LONG g_locks = 0;  // live objects and server locks
ITypeLib* g_typeLib = nullptr;
ITypeInfo* g_interfaceInfo = nullptr;

// Keeps the first of two racing loads and releases the other.
template <typename T>
T* Publish(T** slot, T* loaded) {
  T* earlier = static_cast<T*>(
      InterlockedCompareExchangePointer(reinterpret_cast<void**>(slot), loaded, nullptr));
  if (!earlier) return loaded;
  IUnknown_Release(reinterpret_cast<IUnknown*>(loaded));
  return earlier;
}

// ---- the class factory: one static object --------------------------------------------------

HRESULT STDMETHODCALLTYPE Factory_QueryInterface(IClassFactory* iface, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
  *ppv = iface;
  return S_OK;
}

ULONG STDMETHODCALLTYPE Factory_AddRef(IClassFactory*) { return 2; }
ULONG STDMETHODCALLTYPE Factory_Release(IClassFactory*) { return 1; }

HRESULT STDMETHODCALLTYPE Factory_CreateInstance(IClassFactory*, IUnknown* outer, REFIID riid,
                                                 void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return CreateControl(riid, ppv);
}

HRESULT STDMETHODCALLTYPE Factory_LockServer(IClassFactory*, BOOL lock) {
  lock ? LockModule() : UnlockModule();
  return S_OK;
}

const IClassFactoryVtbl kFactoryVtbl = {
    Factory_QueryInterface, Factory_AddRef,     Factory_Release,
    Factory_CreateInstance, Factory_LockServer,
};
IClassFactory g_factory = {&kFactoryVtbl};

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(g_instance, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void LockModule() { InterlockedIncrement(&g_locks); }
void UnlockModule() { InterlockedDecrement(&g_locks); }

HRESULT GetTypeLibrary(ITypeLib** lib) {
  if (!g_typeLib) {
    const std::wstring path = ModulePath();
    ITypeLib* loaded = nullptr;
    const HRESULT hr = path.empty() ? E_FAIL : LoadTypeLibEx(path.c_str(), REGKIND_NONE, &loaded);
    if (FAILED(hr)) return hr;
    Publish(&g_typeLib, loaded);
  }
  *lib = g_typeLib;
  ITypeLib_AddRef(*lib);
  return S_OK;
}

HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info) {
  ITypeLib* lib = nullptr;
  HRESULT hr = GetTypeLibrary(&lib);
  if (FAILED(hr)) return hr;
  hr = ITypeLib_GetTypeInfoOfGuid(lib, guid, info);
  ITypeLib_Release(lib);
  return hr;
}

HRESULT GetInterfaceTypeInfo(ITypeInfo** info) {
  if (!g_interfaceInfo) {
    ITypeInfo* dispatch = nullptr;
    HRESULT hr = GetTypeInfoOf(IID_IPictavorCtl, &dispatch);
    if (FAILED(hr)) return hr;
    // A dual interface is described twice; the vtable view is its implemented type -1.
    HREFTYPE vtableView = 0;
    ITypeInfo* loaded = nullptr;
    if (SUCCEEDED(ITypeInfo_GetRefTypeOfImplType(dispatch, static_cast<UINT>(-1), &vtableView))) {
      hr = ITypeInfo_GetRefTypeInfo(dispatch, vtableView, &loaded);
    } else {
      loaded = dispatch;  // a plain interface is its own vtable view
      ITypeInfo_AddRef(loaded);
    }
    ITypeInfo_Release(dispatch);
    if (FAILED(hr)) return hr;
    Publish(&g_interfaceInfo, loaded);
  }
  *info = g_interfaceInfo;
  ITypeInfo_AddRef(*info);
  return S_OK;
}

}  // namespace pv::control

using namespace pv::control;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
  } else if (reason == DLL_PROCESS_DETACH && !reserved) {
    // Unloaded by FreeLibrary: the process, and OLE with it, goes on.
    if (g_interfaceInfo) ITypeInfo_Release(g_interfaceInfo);
    if (g_typeLib) ITypeLib_Release(g_typeLib);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_PictavorCtl)) return CLASS_E_CLASSNOTAVAILABLE;
  return IClassFactory_QueryInterface(&g_factory, riid, ppv);
}

STDAPI DllCanUnloadNow() { return g_locks == 0 ? S_OK : S_FALSE; }
