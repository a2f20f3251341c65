// The control's context menu as data, built afresh for every right click from the two masks
// of ShowImageMenu and the current image, and its commands, each a call of the control's own
// members so that a menu operation logs and fails as the same call from a host would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "automation/portable_control.h"

namespace pv {

struct MenuItem {
  std::string text;  // CP932, as it reaches the screen
  int32_t id = 0;    // the command; 0 for a submenu and a separator
  bool grayed = false;
  bool checked = false;
  bool separator = false;
  std::vector<MenuItem> items;  // a submenu's items; empty for a plain item

  bool IsSubmenu() const { return !separator && id == 0; }
};

// The top-level entries in order; empty when no counted bit of either mask is set.
std::vector<MenuItem> BuildContextMenu(PortableControl& control);

// What the commands need from the window side.
class MenuWindow {
 public:
  virtual ~MenuWindow() = default;
  // The error display: the message of `code` in a box. Whether it reports success, which it
  // does, showing nothing, for 0 and for codes without a message.
  virtual bool ShowError(Result code) = 0;
};

// Command IDs the menu hands out.
constexpr int32_t kFirstMenuCommand = 1;
constexpr int32_t kFirstPluginCommand = 59;
constexpr int32_t kLastMenuCommand = 158;

// Runs command `id` (1 to 158); an ID without a command does nothing.
void RunMenuCommand(PortableControl& control, int32_t id, MenuWindow& window);

}  // namespace pv
