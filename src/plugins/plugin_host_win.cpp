#include "plugins/plugin_host.h"

#include <cstring>
#include <string>

namespace pv {
namespace {

constexpr char kProductKey[] = "SOFTWARE\\Norvell\\Pictavor";
constexpr char kVersion[] = "1.00.000";
constexpr size_t kPatternBytes = 260;
constexpr size_t kFileNameBytes = 256;

// The search pattern of the plugin files; false when the value cannot be read.
bool ReadPattern(std::string* pattern) {
  char key[MAX_PATH];
  std::snprintf(key, sizeof key, "%s\\%s", kProductKey, kVersion);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  char value[kPatternBytes] = {};
  DWORD type = 0, size = sizeof value - 1;
  const LONG read =
      RegQueryValueExA(opened, "PluginDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(opened);
  if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  *pattern = value;  // the buffer stays terminated: one byte was kept back
  return true;
}

// The folder part of a pattern, with its separator: the files found are loaded by full path.
std::string FolderOf(const std::string& pattern) {
  const size_t end = pattern.find_last_of("\\/:");
  return end == std::string::npos ? std::string() : pattern.substr(0, end + 1);
}

std::string Lower(std::string name) {
  if (!name.empty()) CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

template <typename F>
F Entry(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

Result PluginHost::Load(void* control, HINSTANCE controlModule) {
  Unload();
  std::string pattern;
  if (!ReadPattern(&pattern) || pattern.empty()) return Result::CannotOpenFile;
  control_ = control;
  const std::string folder = FolderOf(pattern);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return Result::Ok;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      continue;
    if (name.size() >= kFileNameBytes) continue;
    LoadOne(folder, name, controlModule);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return Result::Ok;
}

bool PluginHost::LoadOne(const std::string& folder, const std::string& fileName,
                         HINSTANCE controlModule) {
  Plugin plugin;
  plugin.module = LoadLibraryA((folder + fileName).c_str());
  if (!plugin.module) return false;
  HMODULE m = plugin.module;
  plugin.onStart = Entry<PVP_OnStartProc>(m, "PVP_OnStart");
  plugin.onEnd = Entry<PVP_OnEndProc>(m, "PVP_OnEnd");
  plugin.onEnable = Entry<PVP_OnEnableProc>(m, "PVP_OnEnable");
  plugin.onMenu = Entry<PVP_OnMenuProc>(m, "PVP_OnMenu");
  plugin.onExecute = Entry<PVP_OnExecuteProc>(m, "PVP_OnExecute");
  plugin.onMouseMove = Entry<PVP_OnMouseMoveProc>(m, "PVP_OnMouseMove");
  plugin.onMouseDown = Entry<PVP_OnMouseDownProc>(m, "PVP_OnMouseDown");
  plugin.onMouseUp = Entry<PVP_OnMouseUpProc>(m, "PVP_OnMouseUp");
  plugin.onMouseWheel = Entry<PVP_OnMouseWheelProc>(m, "PVP_OnMouseWheel");
  plugin.onDraw = Entry<PVP_OnDrawProc>(m, "PVP_OnDraw");
  plugin.onScroll = GetProcAddress(m, "PVP_OnScroll");
  plugin.onDropFiles = GetProcAddress(m, "PVP_OnDropFiles");
  plugin.onPreDropFiles = GetProcAddress(m, "PVP_OnPreDropFiles");

  auto* info = reinterpret_cast<PVP_INFO*>(plugin.info.data());
  const bool accepted = plugin.onStart && plugin.onStart(control_, controlModule, info) == 0 &&
                        info->size == kPluginInfoBytes && info->displayName[0] != '\0';
  if (!accepted) {
    FreeLibrary(m);
    return false;
  }
  const std::string lower = Lower(fileName);
  std::memset(info->fileName, 0, sizeof info->fileName);
  std::memcpy(info->fileName, lower.data(), lower.size());
  try {
    plugins_.push_back(plugin);
  } catch (const std::bad_alloc&) {
    if (plugin.onEnd) plugin.onEnd(control_);
    FreeLibrary(m);
    return false;
  }
  return true;
}

void PluginHost::Unload() {
  // Emptied first: a plugin that calls back during PVP_OnEnd finds none loaded.
  std::vector<Plugin> plugins;
  plugins.swap(plugins_);
  for (const Plugin& plugin : plugins) {
    if (plugin.onEnd) plugin.onEnd(control_);
    FreeLibrary(plugin.module);
  }
}

Result PluginHost::FindByFileName(const std::string& fileName, int32_t* number) {
  if (plugins_.empty()) return Result::NoPlugins;
  if (fileName.empty()) return Result::BadParameter;
  const std::string lower = Lower(fileName);
  for (int32_t n = 0; n < count(); ++n) {
    const auto* info = reinterpret_cast<const PVP_INFO*>(plugins_[n].info.data());
    if (std::strncmp(info->fileName, lower.c_str(), sizeof info->fileName) == 0 &&
        lower.size() < sizeof info->fileName) {
      *number = n;
      return Result::Ok;
    }
  }
  return Result::NoPlugins;
}

Result PluginHost::SetEnable(int32_t number, int32_t state) {
  if (!Valid(number)) return Result::BadParameter;
  if (plugins_[number].onEnable) {
    const LONG answer = plugins_[number].onEnable(control_, state);
    if (answer != 0) return static_cast<Result>(answer);
  }
  if (Valid(number)) plugins_[number].enabled = state;  // the plugin may have unloaded us
  return Result::Ok;
}

int32_t PluginHost::GetEnable(int32_t number) {
  return Valid(number) ? plugins_[number].enabled : 0;
}

Result PluginHost::GetInfo(int32_t number, uint8_t* info) {
  if (plugins_.empty()) return Result::NoPlugins;
  if (!Valid(number) || !info) return Result::BadParameter;
  std::memcpy(info, plugins_[number].info.data(), kPluginInfoBytes);
  return Result::Ok;
}

Result PluginHost::GetList(mem::Handle* list, int32_t* listCount) {
  if (plugins_.empty()) return Result::NoPlugins;
  if (!list || !listCount) return Result::BadParameter;
  HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, plugins_.size() * kPluginInfoBytes);
  if (!block) return Result::OutOfMemory;
  auto* bytes = static_cast<uint8_t*>(block);
  for (const Plugin& plugin : plugins_) {
    std::memcpy(bytes, plugin.info.data(), kPluginInfoBytes);
    bytes += kPluginInfoBytes;
  }
  *list = block;
  *listCount = count();
  return Result::Ok;
}

// The state starts as the plugin's number (what a plugin without PVP_OnMenu answers).
int32_t PluginHost::MenuState(int32_t number) {
  if (!Valid(number) || !plugins_[number].enabled) return 0;
  LONG state = number;
  if (plugins_[number].onMenu && plugins_[number].onMenu(control_, &state) != 0) return 0;
  return state;
}

Result PluginHost::Execute(int32_t number, mem::Handle input, int32_t inputSize,
                           mem::Handle* output, int32_t* outputSize) {
  if (plugins_.empty()) return Result::NoPlugins;
  if (!Valid(number)) return Result::BadParameter;
  const Plugin& plugin = plugins_[number];
  if (!plugin.enabled) return Result::PluginDisabled;
  if (!plugin.onExecute) return Result::PluginEntryMissing;
  static_assert(sizeof(LONG) == sizeof(int32_t));
  return static_cast<Result>(plugin.onExecute(control_, static_cast<HGLOBAL>(input), inputSize,
                                              reinterpret_cast<HGLOBAL*>(output),
                                              reinterpret_cast<LONG*>(outputSize)));
}

template <typename Entry, typename... A>
Result PluginHost::Forward(Entry Plugin::*entry, A... args) {
  if (plugins_.empty()) return Result::NoPlugins;
  // By index: a plugin may unload the others from inside its call.
  for (size_t n = 0; n < plugins_.size(); ++n) {
    const Plugin& plugin = plugins_[n];
    if (plugin.enabled && plugin.*entry) (plugin.*entry)(control_, args...);
  }
  return Result::Ok;
}

Result PluginHost::MouseMove(int32_t buttons, int32_t shift, int32_t x, int32_t y) {
  return Forward(&Plugin::onMouseMove, buttons, shift, x, y);
}
Result PluginHost::MouseDown(int32_t button, int32_t shift, int32_t x, int32_t y) {
  return Forward(&Plugin::onMouseDown, button, shift, x, y);
}
Result PluginHost::MouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) {
  return Forward(&Plugin::onMouseUp, button, shift, x, y);
}
Result PluginHost::MouseWheel(int32_t buttons, int32_t shift, int32_t wheel, int32_t x, int32_t y) {
  return Forward(&Plugin::onMouseWheel, buttons, shift, wheel, x, y);
}
Result PluginHost::Drawn() { return Forward(&Plugin::onDraw); }

}  // namespace pv
