// Module state of Pictavor.dll: its instance handle, the count of live objects and server
// locks that DllCanUnloadNow reads, and the type library embedded in it.
#pragma once

#include <string>

#include "control/com/com.h"

namespace pv::control {

HINSTANCE ModuleInstance();
// The DLL's path; empty when it cannot be read.
std::wstring ModulePath();

// Raised by every object's construction and LockServer(TRUE), lowered by the opposites.
void LockModule();
void UnlockModule();

// The embedded type library, loaded once and kept until the DLL is unloaded; a new reference.
HRESULT GetTypeLibrary(ITypeLib** lib);
// The type description of `guid` in the embedded type library; for a dual interface, the
// dispatch view.
HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info);
// The vtable view of IPictavorCtl: the description of each slot, for ITypeInfo::Invoke.
HRESULT GetInterfaceTypeInfo(ITypeInfo** info);

}  // namespace pv::control
