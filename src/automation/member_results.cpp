#include "automation/member_results.h"

namespace pv {

// Each member's Result codes besides 0: what its handler and the operations beneath it can
// answer, in the control's window or without one. Codes that many members share, for the same
// reasons:
//  1     also: called through the DLL with a null pointer for an out parameter (nothing runs).
//  5     the image held is one the operations refuse: a bit-field BMP loads and is kept, and a
//        pasted DIB is kept whatever its header says.
//  6, 7  the layout that ends every change cannot make the window's display bitmap; 7 is also
//        any block the operation itself cannot get.
const std::vector<MemberResults>& MemberResultTable() {
  static const std::vector<MemberResults> table = {
      {"put_BackColor", {}},
      {"get_BackColor", {}},
      {"get_AutoRepaint", {}},
      {"put_AutoRepaint", {}},
      {"get_AutoScroll", {}},
      {"put_AutoScroll", {}},
      {"get_PaintSizeMode", {}},
      {"put_PaintSizeMode", {}},
      {"get_DrawPenColor", {}},
      {"put_DrawPenColor", {}},
      {"get_DrawPenStyle", {}},
      {"put_DrawPenStyle", {}},
      {"get_DrawPenWidth", {}},
      {"put_DrawPenWidth", {}},
      {"get_DrawFillColor", {}},
      {"put_DrawFillColor", {}},
      {"get_DrawFillStyle", {}},
      {"put_DrawFillStyle", {}},
      {"get_DrawFontColor", {}},
      {"put_DrawFontColor", {}},
      // 4: the file ends before the length it reported; 50: the depth asked for holds too few
      // colours.
      {"Load", {1, 2, 3, 4, 5, 6, 7, 50}},
      {"Save", {1, 2, 5, 7, 8, 9}},
      {"Copy", {7, 9, 11, 12}},
      // 1: the clipboard's block is too short for a header.
      {"Paste", {1, 5, 6, 7, 11, 13}},
      {"SetDIB", {1, 5, 6, 7}},
      {"GetDIB", {}},
      {"LoadMemory", {1, 3, 5, 6, 7, 50}},
      {"SaveMemory", {1, 5, 7, 8, 9}},
      {"Grayscale", {1, 5, 6, 7}},
      {"Trim", {1, 5, 6, 7, 9}},
      {"Mosaic", {1, 5, 6, 7, 9}},
      {"ColorRes", {1, 5, 6, 7, 9, 50}},
      // The drawing members commit at once in the direct mode (DrawType 1): 1 without an image.
      {"DrawRectangle", {1, 5, 6, 7}},
      {"Monochrome", {1, 5, 6, 7, 8, 9}},
      {"LoadRawData", {1, 6, 7}},
      {"SaveRawData", {1, 5, 7, 8}},
      {"GetImageData", {1, 5, 7}},
      // The bitmap is read into a DIB the display always takes.
      {"SetBITMAP", {6, 7}},
      {"GetBITMAP", {}},
      {"GetWidth", {}},
      {"GetHeight", {}},
      {"GetSize", {}},
      {"GetBitmapBits", {}},
      {"GetPaletteSize", {}},
      {"GetBitmapInfo", {}},
      {"SetSize", {1, 5, 6, 7}},
      {"Rotate", {1, 5, 6, 7, 8}},
      {"TurnOver", {1, 5, 6, 7, 8}},
      {"GetHistogram", {1, 5, 7, 8}},
      {"DispHistogram", {1, 5, 7, 8}},
      // A cancelled dialog answers 0 with the threshold -1.
      {"OperateMonochrome", {1, 5, 7, 8}},
      {"SobelFilter", {1, 5, 6, 7, 8}},
      {"RobinsonFilter", {1, 5, 6, 7, 8}},
      {"SetImageScale", {1, 5, 6, 7, 8, 9}},
      {"AccentForHistogram", {1, 5, 6, 7, 8}},
      {"Smooth", {1, 5, 6, 7, 8}},
      {"GetMonochromeThresh", {1, 5, 6, 7, 8, 9}},
      {"SetDispScale", {5, 6, 7}},
      {"DrawText", {1, 5, 6, 7}},
      {"SetFontName", {}},
      {"SetFontInfo", {1}},
      {"DrawLine", {1, 5, 6, 7}},
      {"DrawEllipse", {1, 5, 6, 7}},
      {"GetPalette", {1, 5, 8, 9}},
      {"SetPalette", {1, 5, 6, 7, 8, 9}},
      {"GetClientDC", {}},
      {"ReleaseClientDC", {}},
      {"ForceRepaint", {}},
      {"ClearDrawData", {5, 6, 7}},
      {"CommitDrawData", {1, 5, 6, 7}},
      {"UndoDrawData", {5, 6, 7, 10}},
      {"ShowImageMenu", {}},
      {"get_DropFiles", {}},
      {"put_DropFiles", {}},
      {"GetDispScale", {1, 9}},
      {"ClientToDIBPosition", {1, 9}},
      {"GetProfile", {1, 5, 7, 8, 9}},
      {"DispProfile", {1, 5, 7, 8, 9}},
      {"RemoveAlonePoint", {1, 5, 6, 7, 8}},
      {"Labeling", {1, 5, 6, 7, 8, 9, 14}},
      {"SamplingOutline", {1, 5, 6, 7, 8}},
      {"Expansion", {1, 5, 6, 7, 8}},
      {"Contraction", {1, 5, 6, 7, 8}},
      {"LaplacianFilter", {1, 5, 6, 7, 8}},
      {"SmoothAsMaxDensity", {1, 5, 6, 7, 8}},
      {"SmoothAsMinDensity", {1, 5, 6, 7, 8}},
      {"Contrast", {1, 5, 6, 7, 8}},
      {"Gamma", {1, 5, 6, 7, 8}},
      {"RGBGamma", {1, 5, 6, 7, 8}},
      {"get_PreDropFiles", {}},
      {"put_PreDropFiles", {}},
      {"GetRGBHistogram", {1, 5, 7, 8}},
      {"get_ContrastLow", {}},
      {"put_ContrastLow", {}},
      {"get_ContrastHi", {}},
      {"put_ContrastHi", {}},
      {"get_DrawType", {}},
      {"put_DrawType", {}},
      {"get_WndWidth", {}},
      {"put_WndWidth", {}},
      {"get_WndHeight", {}},
      {"put_WndHeight", {}},
      {"DispLogDialog", {}},
      // 3 for every file that cannot be read, as for one that is no log.
      {"LoadLog", {3}},
      // 7: there are no entries.
      {"SaveLog", {2, 7}},
      {"DeleteLog", {}},
      {"StartLog", {}},
      {"StopLog", {}},
      {"RemoveLog", {}},
      // What the replayed operations answer is dropped; 1 when the replay throws.
      {"ExecuteLog", {1}},
      // 10: there are no lines.
      {"SaveLogText", {2, 10}},
      {"DispImageInfo", {}},
      // Whatever the operation answers inside the dialog, 決定 ends with 0.
      {"OperateRotate", {1, 15}},
      {"OperateTrim", {1, 15}},
      {"OperateSetSize", {1, 15}},
      {"OperateSetImageScale", {1, 15}},
      // The colour table is read before the dialog opens.
      {"OperateSetPalette", {1, 5, 7, 8, 9, 15}},
      {"OperateMosaic", {1, 15}},
      {"OperateGamma", {1, 15}},
      {"OperateContrast", {1, 15}},
      {"OperateLoad", {2, 3, 4, 5, 6, 7, 15}},
      // 1: the JPEG options dialog offers quality 1, which the save refuses.
      {"OperateSave", {1, 2, 5, 7, 8, 9, 15}},
      {"OperateLoadLog", {3, 15}},
      {"OperateSaveLog", {2, 7, 15}},
      {"OperateSaveLogText", {2, 10, 15}},
      {"GetPluginNumber", {}},
      {"GetPluginList", {1, 7, 16}},
      {"SetPluginEnable", {1}, "any other code the plugin's PVP_OnEnable answers"},
      {"GetPluginEnable", {}},
      {"ExecutePlugin", {1, 16, 17, 18}, "any other code the plugin's PVP_OnExecute answers"},
      {"GetImageScrollRange", {1, 9}},
      {"get_PaintScaleMode", {}},
      {"put_PaintScaleMode", {}},
      {"SetCursorOfArrow", {}},
      {"SetCursorOfCross", {}},
      {"SetCursorOfWait", {}},
      {"GetCursorID", {}},
      {"SetCursorID", {}},
      {"get_EnableMenu", {}},
      {"put_EnableMenu", {}},
  };
  return table;
}

const MemberResults* ResultsOf(std::string_view callName) {
  for (const MemberResults& entry : MemberResultTable())
    if (callName == entry.callName) return &entry;
  return nullptr;
}

}  // namespace pv
