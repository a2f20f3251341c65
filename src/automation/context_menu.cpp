#include "automation/context_menu.h"

#include <cstring>

#include "automation/dialog_members.h"
#include "automation/invoke.h"
#include "platform/text_encoding.h"

namespace pv {
namespace {

// Only these bits of the two masks name items.
constexpr uint32_t kCountedBits1 = 0x100F1FFF;
constexpr uint32_t kCountedBits2 = 0x3F1F07;
constexpr int kPluginBit = 28;
constexpr int32_t kMaxPlugins = 100;
constexpr size_t kMenuTextOffset = 500;
constexpr size_t kMenuTextBytes = 80;

// When an item is greyed, from the DIB it would act on.
enum class Grey : uint8_t { Never, NoImage, EightBit, AtLeastEightBit, Palette };

struct ImageState {
  int32_t bitCount;     // -1 without a DIB
  int32_t paletteSize;  // -1 without a DIB

  bool HasDib() const { return bitCount >= 0; }

  bool Greyed(Grey rule) const {
    switch (rule) {
      case Grey::NoImage: return !HasDib();
      case Grey::EightBit: return bitCount != 8;
      case Grey::AtLeastEightBit: return bitCount < 8;
      case Grey::Palette: return paletteSize <= 0;
      default: return false;
    }
  }

  // A conversion to `target` bits is offered upward, and between 8, 24 and 32 bits downward.
  bool DepthGreyed(int32_t target) const {
    const int32_t c = bitCount;
    return !HasDib() || c == target || (target < 8 && c >= 8) || (c <= 8 && c > target);
  }
};

MenuItem Item(const char* utf8, int32_t id, bool grayed = false, bool checked = false) {
  MenuItem item;
  item.text = Utf8ToCp932(utf8);
  item.id = id;
  item.grayed = grayed;
  item.checked = checked;
  return item;
}

MenuItem Submenu(const char* utf8, std::vector<MenuItem> items, bool grayed = false) {
  MenuItem submenu = Item(utf8, 0, grayed);
  submenu.items = std::move(items);
  return submenu;
}

MenuItem Separator() {
  MenuItem separator;
  separator.separator = true;
  return separator;
}

bool Bit(uint32_t mask, int bit) { return (mask >> bit & 1) != 0; }

// Appends `item` when `bit` of `mask` is set.
void AddIf(std::vector<MenuItem>* menu, uint32_t mask, int bit, MenuItem item) {
  if (Bit(mask, bit)) menu->push_back(std::move(item));
}

// A top-level entry is there only with items.
void AddEntry(std::vector<MenuItem>* top, const char* utf8, std::vector<MenuItem> items) {
  if (!items.empty()) top->push_back(Submenu(utf8, std::move(items)));
}

int32_t PropertyOf(PortableControl& c, const char* getter) {
  Call call;
  return InvokeByName(c, getter, {}, &call) ? static_cast<int32_t>(call.pVal) : 0;
}

std::vector<MenuItem> FileItems(uint32_t m, const ImageState& s) {
  std::vector<MenuItem> items;
  AddIf(&items, m, 0, Item("読込み", 1));
  AddIf(&items, m, 1, Item("保存", 2, s.Greyed(Grey::NoImage)));
  return items;
}

std::vector<MenuItem> EditItems(uint32_t m, const ImageState& s) {
  std::vector<MenuItem> items;
  AddIf(&items, m, 2, Item("ｺﾋﾟｰ", 3, s.Greyed(Grey::NoImage)));
  AddIf(&items, m, 3, Item("ﾍﾟｰｽﾄ", 4));
  return items;
}

std::vector<MenuItem> ViewItems(uint32_t m, const ImageState& s, int32_t sizeMode) {
  static const char* const kSizeModes[] = {"ｲﾒｰｼﾞの大きささに合せる", "ｺﾝﾄﾛｰﾙの大きさに合せる",
                                           "ｺﾝﾄﾛｰﾙの幅に合せる", "ｺﾝﾄﾛｰﾙの高さに合せる",
                                           "ｱｽﾍﾟｸﾄ比を維持しながらｺﾝﾄﾛｰﾙの大きさに合せる"};
  std::vector<MenuItem> modes;
  for (int32_t n = 0; n < 5; ++n)
    modes.push_back(Item(kSizeModes[n], 34 + n, false, n == sizeMode));
  std::vector<MenuItem> items;
  AddIf(&items, m, 4, Submenu("ｲﾒｰｼﾞ表示方法", std::move(modes)));
  AddIf(&items, m, 5,
        Submenu("拡大・縮小", {Item("拡大", 39), Item("縮小", 40), Item("等倍に戻す", 41)},
                s.Greyed(Grey::NoImage)));
  AddIf(&items, m, 6, Item("ﾋｽﾄｸﾞﾗﾑ表示", 7, s.Greyed(Grey::NoImage)));
  AddIf(&items, m, 7, Item("画像情報表示", 8));
  return items;
}

std::vector<MenuItem> ImageItems(uint32_t m, const ImageState& s) {
  const bool none = s.Greyed(Grey::NoImage);
  std::vector<MenuItem> items;
  AddIf(&items, m, 8, Item("回転", 9, none));
  AddIf(&items, m, 9, Submenu("反転", {Item("上下反転", 42), Item("左右反転", 43)}, none));
  AddIf(&items, m, 10, Item("ﾄﾘﾐﾝｸﾞ", 11, none));
  AddIf(&items, m, 11, Item("ｷｬﾝﾊﾞｽのｻｲｽﾞ", 12, none));
  AddIf(&items, m, 12, Item("拡大・縮小", 13, none));
  return items;
}

std::vector<MenuItem> ColourItems(uint32_t m, const ImageState& s) {
  const bool none = s.Greyed(Grey::NoImage);
  std::vector<MenuItem> grays = {Item("RGB比ﾃﾞﾌｫﾙﾄ", 44),  Item("RGB比ﾃﾞﾌｫﾙﾄ(整数法)", 45),
                                 Item("均等分割", 46),     Item("Rのみ", 47),
                                 Item("Gのみ", 48),        Item("Bのみ", 49),
                                 Item("彩度を下げる", 51), Item("RGB比ｶｽﾀﾑ", 50)};
  struct Depth {
    const char* text;
    int32_t id, bits;
  };
  static constexpr Depth kDepths[] = {{"1Bitへ変更", 52, 1},
                                      {"4Bitへ変更", 54, 4},
                                      {"8Bitへ変更", 55, 8},
                                      {"24Bitへ変更", 56, 24},
                                      {"32Bitへ変更", 57, 32}};
  std::vector<MenuItem> depths;
  for (const Depth& d : kDepths) depths.push_back(Item(d.text, d.id, s.DepthGreyed(d.bits)));
  std::vector<MenuItem> items;
  AddIf(&items, m, 16, Submenu("ｸﾞﾚｰｽｹｰﾙ", std::move(grays), none));
  AddIf(&items, m, 17, Item("ｶﾗｰﾊﾟﾚｯﾄ", 15, s.Greyed(Grey::Palette)));
  AddIf(&items, m, 18, Submenu("ｶﾗｰ階調変換", std::move(depths), none));
  AddIf(&items, m, 19, Item("２値化", 17, s.Greyed(Grey::EightBit)));
  return items;
}

std::vector<MenuItem> EffectItems(uint32_t m, const ImageState& s) {
  std::vector<MenuItem> items;
  AddIf(&items, m, 0, Item("ﾓｻﾞｲｸ", 18, s.Greyed(Grey::NoImage)));
  AddIf(&items, m, 1, Item("ｽﾑｰｼﾞﾝｸﾞ", 19, s.Greyed(Grey::NoImage)));
  AddIf(&items, m, 2, Item("ｶﾞﾝﾏ補正", 20, s.Greyed(Grey::AtLeastEightBit)));
  return items;
}

std::vector<MenuItem> BinaryItems(uint32_t m, const ImageState& s, int32_t background) {
  if ((m & 0x1F00) == 0) return {};
  const bool grey = s.Greyed(Grey::EightBit);
  std::vector<MenuItem> items = {Item("背景色　黒", 22, false, background == 0),
                                 Item("背景色　白", 21, false, background != 0), Separator()};
  AddIf(&items, m, 8, Item("孤立点除去", 23, grey));
  AddIf(&items, m, 9, Item("ﾗﾍﾞﾘﾝｸﾞ", 24, grey));
  AddIf(&items, m, 10, Item("輪郭抽出", 25, grey));
  AddIf(&items, m, 11, Item("膨張", 26, grey));
  AddIf(&items, m, 12, Item("収縮", 27, grey));
  return items;
}

std::vector<MenuItem> GrayEffectItems(uint32_t m, const ImageState& s) {
  const bool grey = s.Greyed(Grey::EightBit);
  std::vector<MenuItem> items;
  AddIf(&items, m, 16, Item("ｿｰﾍﾞﾙﾌｨﾙﾀ", 28, grey));
  AddIf(&items, m, 17, Item("ﾛﾋﾞﾝｿﾝﾌｨﾙﾀ", 29, grey));
  AddIf(&items, m, 18, Item("ﾗﾌﾟﾗｼｱﾝﾌｨﾙﾀ", 30, grey));
  AddIf(&items, m, 19, Item("最大濃度によるｽﾑｰｼﾞﾝｸﾞ", 31, grey));
  AddIf(&items, m, 20, Item("最小濃度によるｽﾑｰｼﾞﾝｸﾞ", 32, grey));
  AddIf(&items, m, 21, Item("ｺﾝﾄﾗｽﾄ調整", 33, grey));
  return items;
}

// One item per plugin with a menu text (the plugin's own bytes), while the host has plugins.
std::vector<MenuItem> PluginItems(PluginPort& plugins) {
  std::vector<MenuItem> items;
  uint8_t info[kPluginInfoBytes];
  for (int32_t n = 0; n < kMaxPlugins && plugins.GetInfo(n, info) == Result::Ok; ++n) {
    const char* text = reinterpret_cast<const char*>(info + kMenuTextOffset);
    MenuItem item;
    item.text.assign(text, strnlen(text, kMenuTextBytes));
    if (item.text.empty()) continue;
    item.id = kFirstPluginCommand + n;
    item.grayed = plugins.MenuState(n) == 0;
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

std::vector<MenuItem> BuildContextMenu(PortableControl& c) {
  const uint32_t m1 = static_cast<uint32_t>(c.properties().menuMask1) & kCountedBits1;
  const uint32_t m2 = static_cast<uint32_t>(c.properties().menuMask2) & kCountedBits2;
  const ImageState s{c.document().GetBitmapBits(), c.document().GetPaletteSize()};
  std::vector<MenuItem> top;
  AddEntry(&top, "ﾌｧｲﾙ", FileItems(m1, s));
  AddEntry(&top, "編集", EditItems(m1, s));
  AddEntry(&top, "表示", ViewItems(m1, s, PropertyOf(c, "get_PaintSizeMode")));
  AddEntry(&top, "ｲﾒｰｼﾞ", ImageItems(m1, s));
  AddEntry(&top, "ｶﾗｰ", ColourItems(m1, s));
  AddEntry(&top, "効果", EffectItems(m2, s));
  AddEntry(&top, "２値化効果", BinaryItems(m2, s, c.properties().binaryBackground));
  AddEntry(&top, "ｸﾞﾚｰｽｹｰﾙ効果", GrayEffectItems(m2, s));
  if (Bit(m1, kPluginBit)) {
    AddEntry(&top, "ﾌﾟﾗｸﾞｲﾝ", PluginItems(c.plugins()));
    top.push_back(Item("履歴表示", 58));
  }
  return top;
}

namespace {

// A command's call of a member, and what follows from its Result code.
class Command {
 public:
  Command(PortableControl& control, MenuWindow& window) : control_(control), window_(window) {}

  // The call alone; its Result code is dropped.
  void Run(const char* member, std::vector<double> inputs = {}) { Call(member, inputs); }

  // The Result code goes to the error display; a success repaints a display that does not
  // repaint itself (with `onlyOnZero`, only after 0).
  void Shown(const char* member, std::vector<double> inputs = {}, bool onlyOnZero = false) {
    ::pv::Call call;
    if (InvokeByName(control_, member, inputs, &call))
      Show(static_cast<Result>(call.pVal), onlyOnZero);
  }
  void ShownOnZero(const char* member, std::vector<double> inputs) {
    Shown(member, std::move(inputs), true);
  }

  void Show(Result code, bool onlyOnZero = false) {
    if (window_.ShowError(code) && (!onlyOnZero || code == Result::Ok)) RepaintIfManual();
  }

  void RepaintIfManual() {
    if (PropertyOf(control_, "get_AutoRepaint") == 0) Run("Repaint");
  }

  ::pv::Call Call(const char* member, const std::vector<double>& inputs) {
    ::pv::Call call;
    InvokeByName(control_, member, inputs, &call);
    return call;
  }

 private:
  PortableControl& control_;
  MenuWindow& window_;
};

void SetSizeMode(PortableControl& c, Command& run, int32_t mode) {
  run.Run("put_PaintSizeMode", {static_cast<double>(mode)});
  if (mode != 4 && PropertyOf(c, "get_AutoScroll") == 0) run.Run("put_AutoScroll", {1});
  run.RepaintIfManual();
}

void Zoom(PortableControl& c, Command& run, int32_t id) {
  double s = c.document().requested_scale_x();
  s = id == 39 ? s * 2 : id == 40 ? s * 0.5 : 1.0;
  run.ShownOnZero("SetDispScale", {s, s});
}

// OperateSetPalette hands out its changed indices and colours; the menu has no use for them.
void EditPalette(Command& run) {
  const Member* member = FindMember("OperateSetPalette");
  const Call call = run.Call("OperateSetPalette", {});
  if (!member) return;
  for (size_t n = 0; n < 2 && n < member->params.size(); ++n)
    if (member->params[n].kind == ParamKind::OutHandle && call.args[n].h) mem::Free(call.args[n].h);
}

}  // namespace

void RunMenuCommand(PortableControl& c, int32_t id, MenuWindow& window) {
  Command run(c, window);
  const double background = c.properties().binaryBackground;
  static const char* const kFilters[] = {"SobelFilter", "RobinsonFilter", "LaplacianFilter",
                                         "SmoothAsMaxDensity", "SmoothAsMinDensity"};
  static const char* const kBinary[] = {"RemoveAlonePoint", nullptr, "SamplingOutline", "Expansion",
                                        "Contraction"};
  static const double kDepths[] = {1, 2, 4, 8, 24, 32};
  switch (id) {
    case 1: run.Shown("OperateLoad"); return;
    case 2: run.Shown("OperateSave"); return;
    case 3: c.document().Copy(); return;
    case 4: run.Show(c.document().Paste()); return;
    case 7:
      run.Run("DispHistogram", {0, 0, static_cast<double>(c.document().GetWidth()),
                                static_cast<double>(c.document().GetHeight())});
      return;
    case 8: run.Run("DispImageInfo"); return;
    case 9: run.Run("OperateRotate"); return;
    case 11: run.Run("OperateTrim"); return;
    case 12: run.Run("OperateSetSize"); return;
    case 13: run.Run("OperateSetImageScale"); return;
    case 15: EditPalette(run); return;
    case 17: run.Run("OperateMonochrome", {127}); return;
    case 18: run.Run("OperateMosaic"); return;
    case 19: run.Shown("Smooth"); return;
    case 20: run.Run("OperateGamma"); return;
    case 21: c.properties().binaryBackground = 1; return;
    case 22: c.properties().binaryBackground = 0; return;
    case 24: run.Shown("Labeling", {-1, -1, background}); return;
    case 33: run.Run("OperateContrast"); return;
    case 50: RunCustomGrayscale(c); return;
    case 58: run.Run("DispLogDialog", {1}); return;
    default: break;
  }
  if (id == 23 || (id >= 25 && id <= 27))
    run.Shown(kBinary[id - 23], {background});
  else if (id >= 28 && id <= 32)
    run.Shown(kFilters[id - 28]);
  else if (id >= 34 && id <= 38)
    SetSizeMode(c, run, id - 34);
  else if (id >= 39 && id <= 41)
    Zoom(c, run, id);
  else if (id == 42 || id == 43)
    run.ShownOnZero("TurnOver", {static_cast<double>(id - 42)});
  else if ((id >= 44 && id <= 49) || id == 51)
    run.ShownOnZero("Grayscale", {static_cast<double>(id - 44), 0, 0, 0});
  else if (id >= 52 && id <= 57)
    run.ShownOnZero("ColorRes", {kDepths[id - 52], 0, 0, 0});
  else if (id >= kFirstPluginCommand && id <= kLastMenuCommand)
    run.Run("ExecutePlugin", {static_cast<double>(id - kFirstPluginCommand), 0, 0});
}

}  // namespace pv
