// DllRegisterServer and DllUnregisterServer: the registration script of resource REGISTRY 103
// (resources/registration.txt) under HKEY_CLASSES_ROOT, and the type library.
#include <string>
#include <string_view>
#include <vector>

#include "control/com/module.h"

namespace pv::control {
namespace {

constexpr int kScriptResource = 103;

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

// The script's lines with %CLSID%, %LIBID% and %MODULE% replaced; empty when it is missing.
std::vector<std::wstring> ScriptLines() {
  HRSRC found = FindResourceW(ModuleInstance(), MAKEINTRESOURCEW(kScriptResource), L"REGISTRY");
  HGLOBAL loaded = found ? LoadResource(ModuleInstance(), found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return {};
  const std::string_view script(bytes, SizeofResource(ModuleInstance(), found));
  std::wstring text(script.begin(), script.end());  // the script is ASCII
  const std::pair<std::wstring, std::wstring> replacements[] = {
      {L"%CLSID%", GuidText(CLSID_PictavorCtl)},
      {L"%LIBID%", GuidText(LIBID_PICTAVOR1Lib)},
      {L"%MODULE%", ModulePath()}};
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

// One "KEY [NAME] = VALUE" line: creates the key and sets the value if there is one.
LSTATUS WriteLine(const std::wstring& line) {
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
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                   nullptr, &handle, nullptr);
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

}  // namespace
}  // namespace pv::control

using namespace pv::control;

STDAPI DllRegisterServer() {
  const std::vector<std::wstring> lines = ScriptLines();
  if (lines.empty()) return SELFREG_E_CLASS;
  for (const std::wstring& line : lines) {
    if (IsRemoval(line)) continue;
    const LSTATUS status = WriteLine(line);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_REGISTER, &lib);
  if (SUCCEEDED(hr)) ITypeLib_Release(lib);
  return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

STDAPI DllUnregisterServer() {
  const std::vector<std::wstring> lines = ScriptLines();
  if (lines.empty()) return SELFREG_E_CLASS;
  HRESULT result = S_OK;
  for (const std::wstring& line : lines) {
    if (!IsRemoval(line)) continue;
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, line.substr(kRemove.size()).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
  }
  ITypeLib* lib = nullptr;
  if (FAILED(GetTypeLibrary(&lib))) return SELFREG_E_TYPELIB;
  TLIBATTR* attr = nullptr;
  if (SUCCEEDED(ITypeLib_GetLibAttr(lib, &attr))) {
    // Unregistering a library that is not registered is no failure.
    const HRESULT hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum,
                                         attr->lcid, attr->syskind);
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS) result = SELFREG_E_TYPELIB;
    ITypeLib_ReleaseTLibAttr(lib, attr);
  }
  ITypeLib_Release(lib);
  return result;
}
