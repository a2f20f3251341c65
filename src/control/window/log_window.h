// The log window (dialog 120, "操作履歴"): a tool window listing the display line of every Log
// entry, with a menu (212) for loading, saving, deleting, logging on and off, text export and
// replay. Created hidden with the control's window; its list always equals the log's lines.
#pragma once

#include <vector>

#include "automation/portable_control.h"
#include "control/com/com.h"

namespace pv::control {

class LogWindow : public LogObserver {
 public:
  explicit LogWindow(PortableControl& control) : control_(control) {}
  ~LogWindow() override { Destroy(); }
  LogWindow(const LogWindow&) = delete;
  LogWindow& operator=(const LogWindow&) = delete;

  // Hidden, owned by `owner`, its list filled from the log.
  void Create(HWND owner);
  void Destroy();
  bool Visible() const { return window_ && IsWindowVisible(window_); }
  void Show(bool show);
  HWND window() const { return window_; }

  // The list and the check marks follow the log.
  void LineInserted(size_t index) override;
  void LineRemoved(size_t index) override;
  void LinesReplaced() override;
  void LoggingChanged(bool on) override;

  static constexpr int kDialog = 120;
  static constexpr int kList = 1601;

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void RefreshList();
  void OnCommand(int id);
  void InsertFromFile();
  void DeleteSelected();
  void RunAll();
  void RunSelected();
  std::vector<int32_t> SelectedLines() const;
  int LineCount() const;
  // A message box of the window; its answer.
  int Say(const char* utf8, const char* caption, UINT flags) const;

  PortableControl& control_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
};

}  // namespace pv::control
