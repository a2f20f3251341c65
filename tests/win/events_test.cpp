// What a user does to the control's window reaches the host as events: synthetic window
// messages sent to the control inside atl.dll's container, the events read back from a sink
// connected through IConnectionPointContainer.
#include "embedded.h"

#include <shlobj.h>

#include <string>

#include "test_support.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

enum Dispid : DISPID {
  kMouseMove = 1,
  kMouseDown,
  kMouseUp,
  kDraw,
  kScroll,
  kMouseWheel,
  kDropFiles,
  kPreDropFiles,
  kMouseDoubleClick
};

// A call as the tests spell it: the DISPID and the long arguments.
struct Expected {
  DISPID dispid;
  std::vector<LONG_PTR> values;
};

HCURSOR SystemCursor(LONG id) { return LoadCursorW(nullptr, MAKEINTRESOURCEW(id)); }

LPARAM Point(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                    static_cast<WORD>(static_cast<SHORT>(y)));
}

// A shell drop of `paths`: a DROPFILES block the receiver's DragFinish frees.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  size_t chars = 1;
  for (const std::wstring& p : paths) chars += p.size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * 2);
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(header + 1);
  for (const std::wstring& p : paths) {
    std::copy(p.begin(), p.end(), names);
    names += p.size() + 1;
  }
  GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

class Events : public Embedded {
 protected:
  void SetUp() override {
    Embedded::SetUp();
    if (HasFatalFailure()) return;
    auto container = control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_EQ(container->FindConnectionPoint(DIID__IPictavorCtlEvents, point_.out()), S_OK);
    ASSERT_EQ(point_->Advise(&sink_, &cookie_), S_OK);
  }
  void TearDown() override {
    if (point_) point_->Unadvise(cookie_);
    point_.reset();
    Embedded::TearDown();
  }

  // What the sink heard since the last look; paints (Draw) only when asked for.
  std::vector<Invocation> Heard(bool draws = false) {
    std::vector<Invocation> heard;
    for (const Invocation& call : sink_.calls)
      if (draws || call.dispid != kDraw) heard.push_back(call);
    sink_.calls.clear();
    return heard;
  }
  void ExpectHeard(const std::vector<Expected>& expected, const std::string& what) {
    const std::vector<Invocation> heard = Heard();
    ASSERT_EQ(heard.size(), expected.size()) << what;
    for (size_t n = 0; n < expected.size(); ++n) {
      EXPECT_EQ(heard[n].dispid, expected[n].dispid) << what << ", event " << n;
      EXPECT_EQ(heard[n].values, expected[n].values) << what << ", event " << n;
      for (VARTYPE type : heard[n].types) EXPECT_EQ(type, VT_I4) << what << ", event " << n;
    }
  }
  Ref<IConnectionPoint> point_;
  RecordingSink sink_{DIID__IPictavorCtlEvents};
  DWORD cookie_ = 0;
};

TEST_F(Events, ButtonsReportTheButtonTheKeysAndThePointAndCaptureThePointer) {
  ASSERT_EQ(control_->put_EnableMenu(0), S_OK);  // the right button as a plain button
  struct Case {
    const char* what;
    UINT down, up;
    WPARAM keys;
    int x, y;
    LONG button, shift;
  };
  const Case cases[] = {
      {"left with Ctrl", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_CONTROL, 10, 20, 1, 8},
      {"right with Shift", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_SHIFT, 3, 4, 2, 4},
      {"middle with both", WM_MBUTTONDOWN, WM_MBUTTONUP, MK_SHIFT | MK_CONTROL, 0, 99, 16, 12},
      {"left, released left of and above the window", WM_LBUTTONDOWN, WM_LBUTTONUP, 0, -5, -300, 1,
       0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Send(c.down, c.keys | static_cast<WPARAM>(c.button), Point(c.x, c.y)), 0);
    EXPECT_EQ(GetCapture(), window_) << c.what << ": the button-up arrives from anywhere";
    EXPECT_EQ(Send(c.up, c.keys, Point(c.x, c.y)), 0);
    EXPECT_EQ(GetCapture(), nullptr) << c.what;
    ExpectHeard(
        {{kMouseDown, {c.button, c.shift, c.x, c.y}}, {kMouseUp, {c.button, c.shift, c.x, c.y}}},
        c.what);
  }
}

TEST_F(Events, MovesAndTheWheelReportEveryButtonHeld) {
  Send(WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON | MK_SHIFT, Point(7, 8));
  Send(WM_MOUSEMOVE, MK_RBUTTON | MK_CONTROL | MK_XBUTTON1, Point(-2, 5));
  // One notch towards the user, at a point of the screen.
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), Point(300, 400));
  Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, 2 * WHEEL_DELTA), Point(1, 2));
  ExpectHeard({{kMouseMove, {17, 4, 7, 8}},
               {kMouseMove, {2, 8, -2, 5}},
               {kMouseWheel, {0, 0, -120, 300, 400}},
               {kMouseWheel, {1, 0, 240, 1, 2}}},
              "moves and wheel");
}

TEST_F(Events, ARightClickOpensTheMenuUnlessTheMasksOrEnableMenuSayNo) {
  LONG v = -1;
  for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK})
    EXPECT_TRUE(TrackedMenu([&] { Send(message, MK_RBUTTON, Point(5, 6)); })) << message;
  EXPECT_EQ(GetCapture(), nullptr) << "the menu takes the click: no capture";
  Send(WM_RBUTTONUP, 0, Point(5, 6));
  ExpectHeard({{kMouseUp, {2, 0, 5, 6}}}, "the menu takes the down and the double click");

  ASSERT_EQ(control_->ShowImageMenu(0, 0, &v), S_OK);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(5, 6));
  Send(WM_RBUTTONDBLCLK, MK_RBUTTON, Point(5, 6));
  ExpectHeard({{kMouseDown, {2, 0, 5, 6}}, {kMouseDoubleClick, {2, 0, 5, 6}}},
              "no menu item can show");
  ASSERT_EQ(control_->ShowImageMenu(0, 1, &v), S_OK);
  ASSERT_EQ(control_->put_EnableMenu(0), S_OK);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(5, 6));
  ExpectHeard({{kMouseDown, {2, 0, 5, 6}}}, "the menu switched off");
  Send(WM_RBUTTONUP, 0, Point(5, 6));
  Heard();
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON | MK_SHIFT, Point(1, 1));
  Send(WM_MBUTTONDBLCLK, MK_MBUTTON, Point(2, 2));
  ExpectHeard({{kMouseDoubleClick, {1, 4, 1, 1}}, {kMouseDoubleClick, {16, 0, 2, 2}}},
              "double clicks");
}

TEST_F(Events, ScrollingReportsThePositionsOfBothBars) {
  ShowBlank(300, 300);
  Heard();
  Send(WM_HSCROLL, SB_LINERIGHT, 0);
  Send(WM_HSCROLL, SB_LINERIGHT, 0);
  Send(WM_VSCROLL, SB_PAGEDOWN, 0);
  Send(WM_HSCROLL, SB_LEFT, 0);
  ExpectHeard({{kScroll, {1, 0}}, {kScroll, {2, 0}}, {kScroll, {2, 10}}, {kScroll, {0, 10}}},
              "scroll bars");
}

TEST_F(Events, DrawEndsEveryPaintOfTheWindowButNotAnOperationsRepaint) {
  ShowBlank(20, 20);
  PumpMessages();
  Heard(true);
  LONG v = -1;
  ASSERT_EQ(control_->TurnOver(1, &v), S_OK);
  ASSERT_EQ(control_->ForceRepaint(&v), S_OK);
  EXPECT_TRUE(Heard(true).empty()) << "an operation paints directly";

  for (LONG autoRepaint : {1, 0}) {
    ASSERT_EQ(control_->put_AutoRepaint(autoRepaint), S_OK);
    PumpMessages();
    Heard(true);
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
    const std::vector<Invocation> heard = Heard(true);
    ASSERT_EQ(heard.size(), 1u) << "AutoRepaint " << autoRepaint;
    EXPECT_EQ(heard[0].dispid, kDraw);
    EXPECT_TRUE(heard[0].values.empty());
  }
}

TEST_F(Events, EverySinkHearsInConnectionOrderWhateverTheOthersDo) {
  RecordingSink failing(DIID__IPictavorCtlEvents), leaving(DIID__IPictavorCtlEvents),
      last(DIID__IPictavorCtlEvents);
  failing.answer = E_FAIL;
  DWORD failingCookie = 0, leavingCookie = 0, lastCookie = 0;
  ASSERT_EQ(point_->Advise(&failing, &failingCookie), S_OK);
  ASSERT_EQ(point_->Advise(&leaving, &leavingCookie), S_OK);
  ASSERT_EQ(point_->Advise(&last, &lastCookie), S_OK);
  std::vector<const RecordingSink*> order;
  for (RecordingSink* s : {&sink_, &failing, &leaving, &last})
    s->onInvoke = [&order, s](const Invocation&) { order.push_back(s); };
  leaving.onInvoke = [&](const Invocation&) {
    order.push_back(&leaving);
    point_->Unadvise(leavingCookie);
  };
  Send(WM_MOUSEMOVE, 0, Point(1, 1));
  EXPECT_EQ(order, (std::vector<const RecordingSink*>{&sink_, &failing, &leaving, &last}));
  order.clear();
  Send(WM_MOUSEMOVE, 0, Point(1, 1));
  EXPECT_EQ(order, (std::vector<const RecordingSink*>{&sink_, &failing, &last}))
      << "the sink that left hears no more";
  EXPECT_EQ(leaving.refs, 1) << "and is released";
  point_->Unadvise(failingCookie);
  point_->Unadvise(lastCookie);
}

class Drops : public Events {
 protected:
  void SetUp() override {
    Events::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(control_->put_DropFiles(1), S_OK);
    sink_.onInvoke = [this](const Invocation& call) {
      if (call.dispid == kDropFiles) pathInEvent_ = reinterpret_cast<const char*>(call.values[1]);
    };
  }
  void Drop(const std::vector<std::wstring>& paths) {
    EXPECT_EQ(Send(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0), 0);
  }
  LONG Width() {
    LONG width = 0;
    EXPECT_EQ(control_->GetWidth(&width), S_OK);
    return width;
  }
  LONG PreDropFiles() {
    LONG value = -1;
    EXPECT_EQ(control_->get_PreDropFiles(&value), S_OK);
    return value;
  }

  std::string pathInEvent_;
};

TEST_F(Drops, OneFileLoadsAndIsReportedWithItsPath) {
  const std::string path = std::string(PICTAVOR_FIXTURES) + "/im_24bit.bmp";
  Drop({Wide(path)});
  const std::vector<Invocation> heard = Heard();
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0].dispid, kPreDropFiles);
  EXPECT_TRUE(heard[0].values.empty());
  EXPECT_EQ(heard[1].dispid, kDropFiles);
  EXPECT_EQ(heard[1].values[0], 0);
  EXPECT_EQ(heard[1].types[1], sizeof(void*) == 8 ? VT_I8 : VT_I4) << "a pointer-sized handle";
  EXPECT_NE(heard[1].values[1], 0);
  EXPECT_EQ(pathInEvent_, path) << "the block holds the path dropped";
  EXPECT_EQ(GlobalSize(reinterpret_cast<HGLOBAL>(heard[1].values[1])), 0u)
      << "freed after the event";
  EXPECT_GT(Width(), 0);
  EXPECT_EQ(PreDropFiles(), 1) << "kept after an accepted drop";
}

TEST_F(Drops, AFailedLoadIsReportedAndLeavesTheDocumentEmpty) {
  ShowBlank(5, 5);
  Heard();
  Drop({Wide(TestDataPath("convert.vbs"))});
  const std::vector<Invocation> heard = Heard();
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0].dispid, kPreDropFiles);
  EXPECT_EQ(heard[1].dispid, kDropFiles);
  EXPECT_NE(heard[1].values[0], 0) << "the load's Result code";
  EXPECT_EQ(Width(), -1);
}

TEST_F(Drops, SeveralFilesOrAVetoLoadNothing) {
  const std::wstring image = Wide(std::string(PICTAVOR_FIXTURES) + "/im_24bit.bmp");
  Drop({image, image});
  EXPECT_TRUE(Heard().empty()) << "two files";
  EXPECT_EQ(Width(), -1);

  sink_.onInvoke = [this](const Invocation& call) {
    if (call.dispid == kPreDropFiles) control_->put_PreDropFiles(0);
  };
  Drop({image});
  const std::vector<Invocation> heard = Heard();
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].dispid, kPreDropFiles);
  EXPECT_EQ(Width(), -1) << "vetoed";
  EXPECT_EQ(PreDropFiles(), 0);
}

TEST_F(Events, CursorsAreSystemCursorsShownOverTheWholeWindow) {
  LONG v = -1;
  ASSERT_EQ(control_->SetCursorID(32515, &v), S_OK);
  EXPECT_EQ(v, 32512) << "a new control shows the arrow";
  ASSERT_EQ(control_->GetCursorID(&v), S_OK);
  EXPECT_EQ(v, 32515);
  EXPECT_EQ(GetCursor(), SystemCursor(32515)) << "shown at once";
  ASSERT_EQ(control_->SetCursorID(1, &v), S_OK);
  EXPECT_EQ(v, 0) << "no such cursor";
  ASSERT_EQ(control_->GetCursorID(&v), S_OK);
  EXPECT_EQ(v, 32515) << "unchanged";

  // The low half names the cursor; the whole ID is kept.
  ASSERT_EQ(control_->SetCursorID(0x10000 + 32514, &v), S_OK);
  EXPECT_EQ(v, 32515);
  ASSERT_EQ(control_->GetCursorID(&v), S_OK);
  EXPECT_EQ(v, 0x10000 + 32514);
  SetCursor(nullptr);
  EXPECT_EQ(
      Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTVSCROLL, WM_MOUSEMOVE)),
      0);
  EXPECT_EQ(GetCursor(), SystemCursor(32514)) << "over a scroll bar too";

  const std::pair<HRESULT (STDMETHODCALLTYPE IPictavorCtl::*)(LONG*), LONG> standard[] = {
      {&IPictavorCtl::SetCursorOfArrow, 32512},
      {&IPictavorCtl::SetCursorOfCross, 32515},
      {&IPictavorCtl::SetCursorOfWait, 32514}};
  LONG previous = 0x10000 + 32514;
  for (const auto& [member, id] : standard) {
    ASSERT_EQ((control_.get()->*member)(&v), S_OK);
    EXPECT_EQ(v, previous);
    previous = id;
    EXPECT_EQ(GetCursor(), SystemCursor(id));
  }
}

TEST_F(Events, TheHostDrawsOnTheWindowThroughAClientDeviceContext) {
  LONG_PTR dc = 0;
  ASSERT_EQ(control_->GetClientDC(&dc), S_OK);
  ASSERT_NE(dc, 0);
  EXPECT_EQ(WindowFromDC(reinterpret_cast<HDC>(dc)), window_);
  LONG released = -1;
  ASSERT_EQ(control_->ReleaseClientDC(dc, &released), S_OK);
  EXPECT_EQ(released, 1);
}

}  // namespace
}  // namespace pv::wintest
