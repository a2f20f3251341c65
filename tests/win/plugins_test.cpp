// The Plugin host with real plugin DLLs: the registry's pattern over the test plugins' folder,
// the rules that accept them, their members, logging and replay, and the notifications they
// get from the window.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "embedded.h"
#include "test_support.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

constexpr char kKey[] = "SOFTWARE\\Norvell\\Pictavor\\1.00.000";

std::string WindowsPath(const std::string& path) {
  char full[MAX_PATH];
  const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(full) : path;
}

const std::string& PluginFolder() {
  static const std::string folder = WindowsPath(PICTAVOR_TEST_PLUGINS) + "\\";
  return folder;
}

// The PluginDir value for as long as the object lives (none: the value is absent).
class PluginDir {
 public:
  explicit PluginDir(const char* pattern) {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    if (pattern)
      RegSetValueExA(key_, "PluginDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(pattern),
                     static_cast<DWORD>(std::strlen(pattern) + 1));
    else
      RegDeleteValueA(key_, "PluginDir");
  }
  ~PluginDir() {
    RegDeleteValueA(key_, "PluginDir");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
};

// The recorder plugin's record of its calls: the same module the control loaded.
struct Recorded {
  char entry;
  LONG args[5];
};
class Recorder {
 public:
  Recorder() : module_(LoadLibraryA((PluginFolder() + "Recorder.dll").c_str())) {}
  ~Recorder() { FreeLibrary(module_); }
  std::vector<Recorded> Calls() const {
    auto recorded = reinterpret_cast<const Recorded* (*)(LONG*)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "Recorded")));
    LONG n = 0;
    const Recorded* calls = recorded ? recorded(&n) : nullptr;
    return calls ? std::vector<Recorded>(calls, calls + n) : std::vector<Recorded>();
  }
  std::string Entries() const {
    std::string entries;
    for (const Recorded& call : Calls()) entries += call.entry;
    return entries;
  }
  void Forget() const {
    auto forget = reinterpret_cast<void (*)()>(
        reinterpret_cast<void*>(GetProcAddress(module_, "ForgetCalls")));
    if (forget) forget();
  }

 private:
  HMODULE module_;
};

// The file names the folder's pattern enumerates, lower case, in enumeration order.
std::vector<std::string> Enumerated() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((PluginFolder() + "*.dll").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
    names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

class Plugins : public Embedded {
 protected:
  void SetUp() override {
    recorder_.Forget();
    Embedded::SetUp();
  }
  LONG Number(const std::wstring& fileName) {
    Bstr name(fileName.c_str());
    LONG number = -2;
    EXPECT_EQ(control_->GetPluginNumber(name.get(), &number), S_OK);
    return number;
  }
  LONG Execute(LONG number, mem::Handle input = nullptr, LONG size = 0) {
    LONG_PTR output = 0;
    LONG outputSize = 0, v = -1;
    EXPECT_EQ(control_->ExecutePlugin(number, reinterpret_cast<LONG_PTR>(input), size, &output,
                                      &outputSize, &v),
              S_OK);
    return v;
  }
  LONG Enabled(LONG number) {
    LONG v = -1;
    EXPECT_EQ(control_->GetPluginEnable(number, &v), S_OK);
    return v;
  }
  LONG Enable(LONG number, LONG state) {
    LONG v = -1;
    EXPECT_EQ(control_->SetPluginEnable(number, state, &v), S_OK);
    return v;
  }
  // The log's display lines.
  std::vector<std::string> LogLines() {
    const std::string path = test::TempPath("plugins.txt");
    std::remove(path.c_str());
    Bstr name(Wide(path).c_str());
    LONG v = -1;
    EXPECT_EQ(control_->SaveLogText(name.get(), &v), S_OK);
    std::vector<std::string> lines;
    {
      std::ifstream file(path, std::ios::binary);
      for (std::string line; std::getline(file, line);) lines.push_back(line);
    }
    std::remove(path.c_str());
    return lines;
  }

  const std::string pattern_ = PluginFolder() + "*.dll";
  PluginDir dir_{pattern_.c_str()};
  Recorder recorder_;
};

TEST_F(Plugins, ThePatternLoadsThePluginsTheRulesAcceptInEnumerationOrder) {
  std::vector<std::string> accepted;
  for (const std::string& name : Enumerated())
    if (name == "invert.dll" || name == "menu.dll" || name == "no_execute.dll" ||
        name == "recorder.dll" || name == "refuse_enable.dll")
      accepted.push_back(name);
  ASSERT_EQ(accepted.size(), 5u);
  LONG_PTR list = 0;
  LONG count = 0, v = -1;
  ASSERT_EQ(control_->GetPluginList(&list, &count, &v), S_OK);
  ASSERT_EQ(v, 0);
  ASSERT_EQ(count, 5);
  mem::Owned block(reinterpret_cast<mem::Handle>(list));
  const test::Bytes bytes = test::BytesOf(block.get());
  ASSERT_EQ(bytes.size(), 5u * 580);
  for (size_t n = 0; n < accepted.size(); ++n) {
    const uint8_t* info = &bytes[n * 580];
    EXPECT_EQ(ReadU32(info), 580u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info + 4)), accepted[n])
        << "the host writes the lower-case file name over the plugin's";
    EXPECT_EQ(Enabled(static_cast<LONG>(n)), 1);
  }
  const LONG recorder = Number(L"RECORDER.DLL");
  EXPECT_EQ(accepted.at(recorder), "recorder.dll") << "found whatever the case";
  EXPECT_EQ(Number((Wide(PluginFolder()) + L"recorder.dll").c_str()), -1) << "no folder";
  EXPECT_EQ(Number(L"size576.dll"), -1) << "refused at start";
  EXPECT_EQ(Number(L""), -1);

  // Every plugin hears PVP_OnEnd when the window goes.
  control_.reset();
  container_.reset();
  DestroyWindow(host_);
  host_ = nullptr;
  PumpMessages();
  EXPECT_EQ(recorder_.Entries().back(), 'E');
}

TEST_F(Plugins, EnablingExecutingAndWhatTheyAnswer) {
  const LONG recorder = Number(L"recorder.dll"), refusing = Number(L"refuse_enable.dll");
  LONG v = -1;
  ASSERT_EQ(control_->StartLog(&v), S_OK);
  EXPECT_EQ(Enable(recorder, 0), 0) << "no PVP_OnEnable: the change is taken";
  EXPECT_EQ(Enabled(recorder), 0);
  PumpMessages();
  recorder_.Forget();
  EXPECT_EQ(Execute(recorder), 18);
  SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  EXPECT_EQ(recorder_.Entries(), "") << "disabled: not executed, not told";
  EXPECT_EQ(Enable(refusing, 0), 5) << "the plugin's own answer";
  EXPECT_EQ(Enabled(refusing), 1);
  EXPECT_EQ(Execute(Number(L"no_execute.dll")), 17);
  EXPECT_EQ(Enable(99, 1), 1);
  EXPECT_EQ(Execute(99), 1);
  EXPECT_EQ(LogLines(), std::vector<std::string>()) << "nothing that failed is recorded";

  // A plugin's own calls of the control while it runs are not recorded: only its execution.
  EXPECT_EQ(Enable(recorder, 1), 0);
  ShowBlank(4, 4);
  mem::Owned input(test::BlockOf(test::Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(Execute(recorder, input.get(), 10), 0);
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "\xCC\xDF\xD7\xB8\xDE\xB2\xDD  Test plugin\r") << "ﾌﾟﾗｸﾞｲﾝ and its name";

  // Replay runs it again from the log: a copy of the input, no output slots.
  recorder_.Forget();
  ASSERT_EQ(control_->ExecuteLog(0, 0, &v), S_OK);
  const std::vector<Recorded> calls = recorder_.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].entry, 'X');
  EXPECT_EQ(calls[0].args[0], 10) << "input size";
  EXPECT_EQ(calls[0].args[1], 1) << "an input block";
  EXPECT_EQ(calls[0].args[2] + calls[0].args[3], 0) << "no output slots";
}

// The context menu's "ﾌﾟﾗｸﾞｲﾝ" submenu: one item per plugin, its menu text, ID 59 + number,
// greyed when its menu state is 0 (disabled, or plugin 0 answering its own number); the item
// executes the plugin.
TEST_F(Plugins, TheContextMenuOffersEveryPluginAndExecutesTheChosenOne) {
  const LONG recorder = Number(L"recorder.dll"), menu = Number(L"menu.dll");
  const LONG disabled = recorder == 0 ? 1 : 0;
  ASSERT_EQ(Enable(disabled, 0), disabled == Number(L"refuse_enable.dll") ? 5 : 0);
  const auto read =
      TrackedMenu([&] { SendMessageW(window_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(4, 4)); });
  ASSERT_TRUE(read);
  ASSERT_GE(read->size(), 2u);
  const ReadItem& submenu = (*read)[read->size() - 2];
  EXPECT_EQ(submenu.text, Cp932("ﾌﾟﾗｸﾞｲﾝ"));
  ASSERT_EQ(submenu.items.size(), 5u);
  for (LONG n = 0; n < 5; ++n) {
    const ReadItem& item = submenu.items[static_cast<size_t>(n)];
    EXPECT_EQ(item.id, static_cast<UINT>(59 + n));
    EXPECT_EQ(item.text, n == Number(L"invert.dll") ? "Invert" : "Test") << n;
    const bool greyed = (n == disabled && Enabled(n) == 0) || (n == 0 && n != menu);
    EXPECT_EQ(item.grayed, greyed) << n;
  }
  recorder_.Forget();
  SendMessageW(window_, WM_COMMAND, static_cast<WPARAM>(59 + recorder), 0);
  EXPECT_EQ(recorder_.Entries().find('X'), 0u) << "the chosen plugin ran";
}

TEST_F(Plugins, TheSamplePluginInvertsTheImageAndReplaysIt) {
  Show(3, 2, [](int32_t x, int32_t y) { return static_cast<uint32_t>(0x102030 * (x + 1) + y); });
  LONG_PTR before = 0;
  ASSERT_EQ(control_->GetDIB(&before), S_OK);
  mem::Owned original(reinterpret_cast<mem::Handle>(before));
  LONG v = -1;
  ASSERT_EQ(control_->StartLog(&v), S_OK);
  mem::Owned input(test::BlockOf(test::Bytes(10, 0xAB)));
  ASSERT_EQ(Execute(Number(L"invert.dll"), input.get(), 10), 0);
  LONG_PTR after = 0;
  ASSERT_EQ(control_->GetDIB(&after), S_OK);
  mem::Owned inverted(reinterpret_cast<mem::Handle>(after));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(test::ColorAt(inverted.get(), x, y),
                ~test::ColorAt(original.get(), x, y) & 0xFFFFFF);
  ASSERT_EQ(LogLines().size(), 1u);

  // The entry inverts a fresh copy of the image the same way.
  ASSERT_EQ(control_->SetDIB(reinterpret_cast<LONG_PTR>(original.get()), &v), S_OK);
  ASSERT_EQ(control_->ExecuteLog(0, 0, &v), S_OK);
  LONG_PTR replayed = 0;
  ASSERT_EQ(control_->GetDIB(&replayed), S_OK);
  mem::Owned again(reinterpret_cast<mem::Handle>(replayed));
  EXPECT_EQ(test::BytesOf(again.get()), test::BytesOf(inverted.get()));
}

TEST_F(Plugins, MouseInputAndPaintsReachThePluginsBeforeTheHost) {
  auto container = control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  Ref<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID__IPictavorCtlEvents, point.out()), S_OK);
  RecordingSink sink(DIID__IPictavorCtlEvents);
  std::string order;
  sink.onInvoke = [&](const Invocation& call) {
    order += recorder_.Entries() + "|" + std::to_string(call.dispid) + ";";
    recorder_.Forget();
  };
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  PumpMessages();
  recorder_.Forget();
  order.clear();
  SendMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(10, 20));
  SendMessageW(window_, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(10, 20));
  SendMessageW(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(5, 6));
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
  EXPECT_EQ(order, "D|2;U|3;W|6;P|4;") << "each plugin call just before its event";
  LONG v = -1;
  ASSERT_EQ(control_->ForceRepaint(&v), S_OK);
  EXPECT_EQ(recorder_.Entries(), "P") << "ForceRepaint tells the plugins too";
  point->Unadvise(cookie);
}

class NoPluginDir : public Embedded {
 protected:
  PluginDir dir_{nullptr};
};

TEST_F(NoPluginDir, EveryPluginMemberAnswersAsWithoutPlugins) {
  LONG_PTR list = 77;
  LONG count = 77, v = -1;
  ASSERT_EQ(control_->GetPluginList(&list, &count, &v), S_OK);
  EXPECT_EQ(v, 16);
  EXPECT_EQ(list, 77) << "outputs untouched";
  EXPECT_EQ(count, 77);
  Bstr name(L"invert.dll");
  ASSERT_EQ(control_->GetPluginNumber(name.get(), &v), S_OK);
  EXPECT_EQ(v, -1);
  ASSERT_EQ(control_->SetPluginEnable(0, 1, &v), S_OK);
  EXPECT_EQ(v, 1);
  ASSERT_EQ(control_->GetPluginEnable(0, &v), S_OK);
  EXPECT_EQ(v, 0);
  LONG_PTR output = 0;
  LONG outputSize = 0;
  ASSERT_EQ(control_->ExecutePlugin(0, 0, 0, &output, &outputSize, &v), S_OK);
  EXPECT_EQ(v, 16);
}

}  // namespace
}  // namespace pv::wintest
