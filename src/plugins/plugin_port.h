// What the rest of the control asks of the Plugin host.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

class PluginPort {
 public:
  virtual ~PluginPort() = default;
  // The number of the plugin whose file name is `fileName` (ignoring case): 16 without plugins,
  // 1 when none has that name.
  virtual Result FindByFileName(const std::string& fileName, int32_t* number) = 0;
  virtual Result Execute(int32_t number, mem::Handle input, int32_t inputSize, mem::Handle* output,
                         int32_t* outputSize) = 0;

  // What the user does to the window and its paints, told to every enabled plugin that
  // listens; 16 without plugins. The values are those of the control's own events.
  virtual Result MouseMove(int32_t buttons, int32_t shift, int32_t x, int32_t y) = 0;
  virtual Result MouseDown(int32_t button, int32_t shift, int32_t x, int32_t y) = 0;
  virtual Result MouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) = 0;
  virtual Result MouseWheel(int32_t buttons, int32_t shift, int32_t wheel, int32_t x,
                            int32_t y) = 0;
  virtual Result Drawn() = 0;
};

// A control without plugins.
class NoPlugins : public PluginPort {
 public:
  Result FindByFileName(const std::string&, int32_t*) override { return Result::NoPlugins; }
  Result Execute(int32_t, mem::Handle, int32_t, mem::Handle*, int32_t*) override {
    return Result::NoPlugins;
  }
  Result MouseMove(int32_t, int32_t, int32_t, int32_t) override { return Result::NoPlugins; }
  Result MouseDown(int32_t, int32_t, int32_t, int32_t) override { return Result::NoPlugins; }
  Result MouseUp(int32_t, int32_t, int32_t, int32_t) override { return Result::NoPlugins; }
  Result MouseWheel(int32_t, int32_t, int32_t, int32_t, int32_t) override {
    return Result::NoPlugins;
  }
  Result Drawn() override { return Result::NoPlugins; }
};

}  // namespace pv
