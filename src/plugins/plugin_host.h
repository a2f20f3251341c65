// The Plugin host on Windows: the plugin DLLs that the registry's search pattern finds, loaded
// when the control's window is created, and the calls into them.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "plugins/pictavor_plugin.h"
#include "plugins/plugin_port.h"

namespace pv {

class PluginHost : public PluginPort {
 public:
  PluginHost() = default;
  ~PluginHost() override { Unload(); }
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // Loads the plugins the registry's pattern matches, in enumeration order, handing each the
  // control's interface pointer and the control DLL's module; 2 when the registry value cannot
  // be read (no plugins then).
  Result Load(void* control, HINSTANCE controlModule);
  // PVP_OnEnd for every plugin, then every DLL freed.
  void Unload();
  int32_t count() const { return static_cast<int32_t>(plugins_.size()); }

  Result FindByFileName(const std::string& fileName, int32_t* number) override;
  Result SetEnable(int32_t number, int32_t state) override;
  int32_t GetEnable(int32_t number) override;
  Result GetInfo(int32_t number, uint8_t* info) override;
  Result GetList(mem::Handle* list, int32_t* count) override;
  int32_t MenuState(int32_t number) override;
  Result Execute(int32_t number, mem::Handle input, int32_t inputSize, mem::Handle* output,
                 int32_t* outputSize) override;
  Result MouseMove(int32_t buttons, int32_t shift, int32_t x, int32_t y) override;
  Result MouseDown(int32_t button, int32_t shift, int32_t x, int32_t y) override;
  Result MouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) override;
  Result MouseWheel(int32_t buttons, int32_t shift, int32_t wheel, int32_t x, int32_t y) override;
  Result Drawn() override;

 private:
  struct Plugin {
    HMODULE module = nullptr;
    std::array<uint8_t, kPluginInfoBytes> info{};
    int32_t enabled = 1;
    PVP_OnStartProc onStart = nullptr;
    PVP_OnEndProc onEnd = nullptr;
    PVP_OnEnableProc onEnable = nullptr;
    PVP_OnMenuProc onMenu = nullptr;
    PVP_OnExecuteProc onExecute = nullptr;
    PVP_OnMouseMoveProc onMouseMove = nullptr;
    PVP_OnMouseDownProc onMouseDown = nullptr;
    PVP_OnMouseUpProc onMouseUp = nullptr;
    PVP_OnMouseWheelProc onMouseWheel = nullptr;
    PVP_OnDrawProc onDraw = nullptr;
    FARPROC onScroll = nullptr, onDropFiles = nullptr, onPreDropFiles = nullptr;  // never called
  };

  bool Valid(int32_t number) const { return number >= 0 && number < count(); }
  // Loads one matching file; false when it is no plugin.
  bool LoadOne(const std::string& folder, const std::string& fileName, HINSTANCE controlModule);
  // Calls `call` for every enabled plugin in number order that has the entry point.
  template <typename Entry, typename... A>
  Result Forward(Entry Plugin::*entry, A... args);

  void* control_ = nullptr;
  std::vector<Plugin> plugins_;  // in load order: the index is the plugin number
};

}  // namespace pv
