// The histogram window (dialog 201, "ﾋｽﾄｸﾞﾗﾑ") and the profile window (dialog 203, "ﾌﾟﾛﾌｧｲﾙ"):
// popups of the control's window, hidden until a graph is shown, that draw their graph once
// into a white 24-bit bitmap and copy it to the window on every paint. Closing one hides it.
#pragma once

#include <vector>

#include "control/com/com.h"
#include "document/display_port.h"

namespace pv::control {

class GraphWindow {
 public:
  virtual ~GraphWindow();
  GraphWindow(const GraphWindow&) = delete;
  GraphWindow& operator=(const GraphWindow&) = delete;

  void Create(HWND owner);
  void Destroy();
  HWND window() const { return window_; }

 protected:
  explicit GraphWindow(int dialog) : dialog_(dialog) {}

  // Replaces the graph with a white bitmap of this size, selected into the drawing context it
  // returns, which stays valid until the next graph; null (and no graph) when GDI refuses.
  HDC NewGraph(int width, int height);
  void DeleteGraph();
  SIZE graph_size() const { return size_; }
  bool has_graph() const { return graph_ != nullptr; }

  virtual void OnInitDialog() {}
  virtual void OnSize(int, int) {}

  HWND window_ = nullptr;

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void CopyGraph(HDC dc) const;

  int dialog_;
  HDC dc_ = nullptr;
  HBITMAP graph_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  SIZE size_{};
};

class HistogramWindow : public GraphWindow {
 public:
  HistogramWindow() : GraphWindow(kDialog) {}
  // One channel draws in black; three draw red, green and blue in that order. No channel, or
  // a number other than one or three, removes the graph.
  void Show(const std::vector<HistogramCounts>& channels);

  static constexpr int kDialog = 201;
  static constexpr int kWidth = 256, kHeight = kHistogramGraphHeight;

 private:
  void OnInitDialog() override;
};

class ProfileWindow : public GraphWindow {
 public:
  ProfileWindow() : GraphWindow(kDialog) {}
  void Show(const Profile& profile);

  static constexpr int kDialog = 203;
  static constexpr int kHeight = 256;

 private:
  // The scroll bars never move the graph: it always shows from its top-left corner.
  void OnSize(int width, int height) override;
};

}  // namespace pv::control
