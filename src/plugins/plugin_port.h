// What the rest of the control asks of the Plugin host. Plugin numbers are load order.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

constexpr size_t kPluginInfoBytes = 580;

class PluginPort {
 public:
  virtual ~PluginPort() = default;
  // The number of the plugin whose file name is `fileName` (ignoring case): 16 without plugins
  // or when none has that name, 1 for an empty name.
  virtual Result FindByFileName(const std::string& fileName, int32_t* number) = 0;
  // 1 for a number outside the plugins, else what the plugin says of the change (0 accepts).
  virtual Result SetEnable(int32_t number, int32_t state) = 0;
  // The enabled flag; 0 for a number outside the plugins.
  virtual int32_t GetEnable(int32_t number) = 0;
  // The plugin's 580-byte information block: 16 without plugins, 1 for a bad number.
  virtual Result GetInfo(int32_t number, uint8_t* info) = 0;
  // A new fixed block of every information block in number order, and the count: 16 without
  // plugins, 7 without memory.
  virtual Result GetList(mem::Handle* list, int32_t* count) = 0;
  // The state of the plugin's menu item; 0 shows it greyed.
  virtual int32_t MenuState(int32_t number) = 0;
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
  Result SetEnable(int32_t, int32_t) override { return Result::BadParameter; }
  int32_t GetEnable(int32_t) override { return 0; }
  Result GetInfo(int32_t, uint8_t*) override { return Result::NoPlugins; }
  Result GetList(mem::Handle*, int32_t*) override { return Result::NoPlugins; }
  int32_t MenuState(int32_t) override { return 0; }
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
