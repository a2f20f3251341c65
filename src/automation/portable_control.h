// The control without its window: the Image document, the Operation log and the properties
// that members act on. The COM object wraps it; the command-line host drives it directly.
#pragma once

#include <cstdint>

#include "automation/dialog_port.h"
#include "document/image_document.h"
#include "log/operation_log.h"
#include "plugins/plugin_port.h"

namespace pv {

// Property values with their defaults.
struct ControlProperties {
  uint32_t backColor = 0;  // OLE_COLOR
  int32_t autoRepaint = 1;
  int32_t autoScroll = 1;
  int32_t paintSizeMode = 0;
  int32_t drawPenColor = 0;
  int32_t drawPenStyle = 0;
  int32_t drawPenWidth = 1;
  int32_t drawFillColor = 0;
  int32_t drawFillStyle = 0;
  int32_t drawFontColor = 0;
  int32_t dropFiles = 0;
  int32_t preDropFiles = 0;
  int32_t contrastLow = 0;  // output levels of the contrast curve
  int32_t contrastHi = 255;
  int32_t drawType = 0;
  int32_t paintScaleMode = 4;
  int32_t enableMenu = 1;
  int32_t menuMask1 = -1;  // set by ShowImageMenu
  int32_t menuMask2 = -1;
  int32_t binaryBackground = 0;  // the context menu's background for the binary effects: 1 white
  int32_t cursorId = 32512;      // IDC_ARROW, loaded with the control
};

class PortableControl {
 public:
  explicit PortableControl(DisplayPort* display = nullptr)
      : display_(display ? display : &headless_), document_(display_) {}

  ImageDocument& document() { return document_; }
  DisplayPort& display() { return *display_; }
  OperationLog& log() { return log_; }
  PluginPort& plugins() { return *plugins_; }
  // The Plugin host the control's window loads; null: none.
  void set_plugins(PluginPort* plugins) { plugins_ = plugins ? plugins : &noPlugins_; }
  // The window's modal dialogs; without a window every one answers as cancelled.
  DialogPort& dialogs() { return *dialogs_; }
  void set_dialogs(DialogPort* dialogs) { dialogs_ = dialogs ? dialogs : &noDialogs_; }
  ControlProperties& properties() { return properties_; }
  const ControlProperties& properties() const { return properties_; }

  // Paints now, on the background BackColor gives (the display bitmap is built first when auto
  // repaint left it absent).
  void ForceRepaint() {
    RefreshBackground();
    document_.Repaint();
  }
  // Copies the display properties into the document, as every put of one does.
  void MirrorProperties();

  // The requires-save flag: set by property puts, cleared after a successful load.
  bool dirty() const { return dirty_; }
  void set_dirty(bool dirty) { dirty_ = dirty; }

  // The document's background colour from BackColor; a value that does not translate leaves
  // the previous colour.
  void RefreshBackground();

 private:
  HeadlessDisplay headless_;
  DisplayPort* display_;
  ImageDocument document_;
  OperationLog log_;
  NoPlugins noPlugins_;
  PluginPort* plugins_ = &noPlugins_;
  DialogPort noDialogs_;
  DialogPort* dialogs_ = &noDialogs_;
  ControlProperties properties_;
  bool dirty_ = false;
};

}  // namespace pv
