// DllRegisterServer and DllUnregisterServer: the registration script of resource REGISTRY 103
// (resources/registration.txt) under HKEY_CLASSES_ROOT, and the type library. DllInstall with
// "user" (regsvr32 /n /i:user) writes the same keys and the type library's (script 104) for the
// current user alone, under HKEY_CURRENT_USER\Software\Classes: no administrator rights needed.
#include <string>
#include <string_view>
#include <vector>

#include "control/com/module.h"

namespace pv::control {
namespace {

constexpr int kClassScript = 103;
constexpr int kUserTypeLibraryScript = 104;

std::wstring Trim(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L" \t\r");
  if (first == std::wstring_view::npos) return {};
  const size_t last = text.find_last_not_of(L" \t\r");
  return std::wstring(text.substr(first, last - first + 1));
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ModuleFolder() {
  const std::wstring path = ModulePath();
  return path.substr(0, path.find_last_of(L"\\/"));
}

// The lines of script resource `id` with its %NAME% values filled in; empty when it is missing.
std::vector<std::wstring> ScriptLines(int id = kClassScript) {
  HRSRC found = FindResourceW(ModuleInstance(), MAKEINTRESOURCEW(id), L"REGISTRY");
  HGLOBAL loaded = found ? LoadResource(ModuleInstance(), found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return {};
  const std::string_view script(bytes, SizeofResource(ModuleInstance(), found));
  std::wstring text(script.begin(), script.end());  // the script is ASCII
  const std::pair<std::wstring, std::wstring> replacements[] = {
      {L"%CLSID%", GuidText(CLSID_PictavorCtl)},
      {L"%LIBID%", GuidText(LIBID_PICTAVOR1Lib)},
      {L"%MODULE%", ModulePath()},
      {L"%MODULEDIR%", ModuleFolder()},
      {L"%IID_CONTROL%", GuidText(IID_IPictavorCtl)},
      {L"%IID_EVENTS%", GuidText(DIID__IPictavorCtlEvents)},
      {L"%PLATFORM%", sizeof(void*) == 8 ? L"win64" : L"win32"}};
  for (const auto& [name, value] : replacements)
    for (size_t at = text.find(name); at != std::wstring::npos;
         at = text.find(name, at + value.size()))
      text.replace(at, name.size(), value);
  std::vector<std::wstring> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = Trim(std::wstring_view(text).substr(start, end - start));
    if (!line.empty() && line[0] != L'#') lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// Where the script's keys go: the machine's classes or the current user's.
struct ClassesRoot {
  HKEY root;
  std::wstring_view prefix;
  std::wstring Key(std::wstring_view key) const { return std::wstring(prefix) + std::wstring(key); }
};
const ClassesRoot kMachine{HKEY_CLASSES_ROOT, L""};
const ClassesRoot kUser{HKEY_CURRENT_USER, L"Software\\Classes\\"};

// One "KEY [NAME] = VALUE" line: creates the key and sets the value if there is one.
LSTATUS WriteLine(const ClassesRoot& classes, const std::wstring& line) {
  const size_t equals = line.find(L" = ");
  std::wstring key = Trim(std::wstring_view(line).substr(0, equals));
  std::wstring name;
  if (!key.empty() && key.back() == L']') {
    const size_t open = key.rfind(L" [");
    if (open == std::wstring::npos) return ERROR_INVALID_DATA;
    name = key.substr(open + 2, key.size() - open - 3);
    key = Trim(std::wstring_view(key).substr(0, open));
  }
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(classes.root, classes.Key(key).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  if (equals != std::wstring::npos) {
    const std::wstring value = line.substr(equals + 3);
    status = RegSetValueExW(handle, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(handle);
  return status;
}

constexpr std::wstring_view kRemove = L"remove ";

bool IsRemoval(const std::wstring& line) { return line.compare(0, kRemove.size(), kRemove) == 0; }

HRESULT WriteScript(const ClassesRoot& classes, int id = kClassScript) {
  const std::vector<std::wstring> lines = ScriptLines(id);
  if (lines.empty()) return SELFREG_E_CLASS;
  for (const std::wstring& line : lines) {
    if (IsRemoval(line)) continue;
    const LSTATUS status = WriteLine(classes, line);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

HRESULT RemoveScript(const ClassesRoot& classes, int id = kClassScript) {
  const std::vector<std::wstring> lines = ScriptLines(id);
  if (lines.empty()) return SELFREG_E_CLASS;
  HRESULT result = S_OK;
  for (const std::wstring& line : lines) {
    if (!IsRemoval(line)) continue;
    const std::wstring key = classes.Key(std::wstring_view(line).substr(kRemove.size()));
    const LSTATUS status = RegDeleteTreeW(classes.root, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
  }
  return result;
}

// The type library's machine-wide keys removed; removing a library that is not registered is
// no failure.
HRESULT UnregisterTypeLibrary() {
  ITypeLib* lib = nullptr;
  if (FAILED(GetTypeLibrary(&lib))) return SELFREG_E_TYPELIB;
  HRESULT result = S_OK;
  TLIBATTR* attr = nullptr;
  if (SUCCEEDED(ITypeLib_GetLibAttr(lib, &attr))) {
    const HRESULT hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum,
                                         attr->lcid, attr->syskind);
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS) result = SELFREG_E_TYPELIB;
    ITypeLib_ReleaseTLibAttr(lib, attr);
  }
  ITypeLib_Release(lib);
  return result;
}

}  // namespace
}  // namespace pv::control

using namespace pv::control;

STDAPI DllRegisterServer() {
  const HRESULT written = WriteScript(kMachine);
  if (FAILED(written)) return written;
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_REGISTER, &lib);
  if (SUCCEEDED(hr)) ITypeLib_Release(lib);
  return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

STDAPI DllUnregisterServer() {
  if (ScriptLines().empty()) return SELFREG_E_CLASS;
  const HRESULT removed = RemoveScript(kMachine);
  return UnregisterTypeLibrary() == S_OK ? removed : SELFREG_E_TYPELIB;
}

// regsvr32 /i:user (with /n: without DllRegisterServer) and /u /i:user. Without a command line
// there is nothing beyond DllRegisterServer's work to do.
STDAPI DllInstall(BOOL install, PCWSTR commandLine) {
  if (!commandLine || !*commandLine) return S_OK;
  if (CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) != CSTR_EQUAL) return E_INVALIDARG;
  if (!install) {
    const HRESULT classes = RemoveScript(kUser);
    const HRESULT library = RemoveScript(kUser, kUserTypeLibraryScript);
    return FAILED(classes) ? classes : library;
  }
  const HRESULT classes = WriteScript(kUser);
  return FAILED(classes) ? classes : WriteScript(kUser, kUserTypeLibraryScript);
}
