// The flat C API: PVC_<member>(control, arguments..., pVal), standard-call, one export per
// member of IPictavorCtl that has one. Each calls the member through the pointer's vtable
// slot; a null control pointer is refused with E_POINTER instead of being called through.
#include "control/com.h"
#include "control/member_route.h"

#define PV_UNPAREN(...) __VA_ARGS__
#define PVC_FORWARD(name, params, args)                                                   \
  extern "C" HRESULT STDMETHODCALLTYPE PVC_##name(IPictavorCtl* ctl, PV_UNPAREN params) { \
    return ctl ? ctl->lpVtbl->name(ctl, PV_UNPAREN args) : E_POINTER;                     \
  }

PVC_FORWARD(get_AutoRepaint, (LONG* pVal), (pVal))
PVC_FORWARD(put_AutoRepaint, (LONG newVal), (newVal))
PVC_FORWARD(get_AutoScroll, (LONG* pVal), (pVal))
PVC_FORWARD(put_AutoScroll, (LONG newVal), (newVal))
PVC_FORWARD(get_PaintSizeMode, (LONG* pVal), (pVal))
PVC_FORWARD(put_PaintSizeMode, (LONG newVal), (newVal))
PVC_FORWARD(get_DrawPenColor, (LONG* pVal), (pVal))
PVC_FORWARD(put_DrawPenColor, (LONG newVal), (newVal))
PVC_FORWARD(get_DrawPenStyle, (LONG* pVal), (pVal))
PVC_FORWARD(put_DrawPenStyle, (LONG newVal), (newVal))
PVC_FORWARD(get_DrawPenWidth, (LONG* pVal), (pVal))
PVC_FORWARD(put_DrawPenWidth, (LONG newVal), (newVal))
PVC_FORWARD(get_DrawFillColor, (LONG* pVal), (pVal))
PVC_FORWARD(put_DrawFillColor, (LONG newVal), (newVal))
PVC_FORWARD(get_DrawFillStyle, (LONG* pVal), (pVal))
PVC_FORWARD(put_DrawFillStyle, (LONG newVal), (newVal))
PVC_FORWARD(get_DrawFontColor, (LONG* pVal), (pVal))
PVC_FORWARD(put_DrawFontColor, (LONG newVal), (newVal))
PVC_FORWARD(Load, (BSTR pszName, LONG iBitsPerPixel, LONG iPage, LONG* pVal),
            (pszName, iBitsPerPixel, iPage, pVal))
PVC_FORWARD(Save, (BSTR pszName, LONG iFormat, LONG iBitsPerPixel, LONG iQuality, LONG* pVal),
            (pszName, iFormat, iBitsPerPixel, iQuality, pVal))
PVC_FORWARD(Copy, (LONG iFlags, LONG* pVal), (iFlags, pVal))
PVC_FORWARD(Paste, (LONG iFlags, LONG* pVal), (iFlags, pVal))
PVC_FORWARD(SetDIB, (LONG_PTR hDIB, LONG* pVal), (hDIB, pVal))
PVC_FORWARD(GetDIB, (LONG_PTR* pVal), (pVal))
PVC_FORWARD(LoadMemory, (LONG_PTR hMem, LONG iBitsPerPixel, LONG iPage, LONG* pVal),
            (hMem, iBitsPerPixel, iPage, pVal))
PVC_FORWARD(SaveMemory, (LONG_PTR* phMem, LONG iFormat, LONG iBitsPerPixel, LONG iQuality, LONG* piSize,
            LONG* pVal),
            (phMem, iFormat, iBitsPerPixel, iQuality, piSize, pVal))
PVC_FORWARD(Grayscale, (LONG iProcID, double cR, double cG, double cB, LONG* pVal),
            (iProcID, cR, cG, cB, pVal))
PVC_FORWARD(Trim, (float fLeft, float fTop, float fWidth, float fHeight, LONG* pVal),
            (fLeft, fTop, fWidth, fHeight, pVal))
PVC_FORWARD(Mosaic, (LONG iDim, LONG* pVal), (iDim, pVal))
PVC_FORWARD(ColorRes, (LONG iBitsPerPixel, LONG iPalette, LONG iDither, LONG iColors, LONG* pVal),
            (iBitsPerPixel, iPalette, iDither, iColors, pVal))
PVC_FORWARD(DrawRectangle, (float fLeft, float fTop, float fWidth, float fHeight, LONG lFill, LONG* pVal),
            (fLeft, fTop, fWidth, fHeight, lFill, pVal))
PVC_FORWARD(Monochrome, (LONG th, LONG* pVal), (th, pVal))
PVC_FORWARD(LoadRawData, (LONG_PTR phMem, LONG lKind, LONG lWdth, LONG lHeight, LONG lSize, LONG* pVal),
            (phMem, lKind, lWdth, lHeight, lSize, pVal))
PVC_FORWARD(SaveRawData, (LONG_PTR* phMem, LONG* plKind, LONG* plWidth, LONG* plHeight, LONG* plSize,
            LONG* pVal),
            (phMem, plKind, plWidth, plHeight, plSize, pVal))
PVC_FORWARD(GetImageData, (LONG_PTR* phMem, LONG* lpSize, LONG* pVal), (phMem, lpSize, pVal))
PVC_FORWARD(SetBITMAP, (LONG_PTR hBITMAP, LONG* pVal), (hBITMAP, pVal))
PVC_FORWARD(GetBITMAP, (LONG_PTR* phBITMAP), (phBITMAP))
PVC_FORWARD(GetWidth, (LONG* pVal), (pVal))
PVC_FORWARD(GetHeight, (LONG* pVal), (pVal))
PVC_FORWARD(GetSize, (LONG* pVal), (pVal))
PVC_FORWARD(GetBitmapBits, (LONG* pVal), (pVal))
PVC_FORWARD(GetPaletteSize, (LONG* pVal), (pVal))
PVC_FORWARD(GetBitmapInfo, (LONG_PTR* pVal), (pVal))
PVC_FORWARD(SetSize, (LONG lWidth, LONG lHeight, LONG lPos, LONG lCol, LONG* pVal),
            (lWidth, lHeight, lPos, lCol, pVal))
PVC_FORWARD(Rotate, (float fAngle, LONG lReSize, LONG lCol, LONG* pVal), (fAngle, lReSize, lCol, pVal))
PVC_FORWARD(TurnOver, (LONG lDir, LONG* pVal), (lDir, pVal))
PVC_FORWARD(GetHistogram, (LONG lStartX, LONG lStartY, LONG lWidth, LONG lHeight, LONG_PTR* phMem,
            LONG* pVal),
            (lStartX, lStartY, lWidth, lHeight, phMem, pVal))
PVC_FORWARD(SobelFilter, (LONG* pVal), (pVal))
PVC_FORWARD(RobinsonFilter, (LONG* pVal), (pVal))
PVC_FORWARD(SetImageScale, (double fHor, double fVer, LONG lType, LONG* pVal), (fHor, fVer, lType, pVal))
PVC_FORWARD(AccentForHistogram, (LONG lRange, LONG lTh, LONG* pVal), (lRange, lTh, pVal))
PVC_FORWARD(Smooth, (LONG* pVal), (pVal))
PVC_FORWARD(GetMonochromeThresh, (LONG lStartX, LONG lStartY, LONG lWidth, LONG lHeight, LONG* plTh,
            LONG* pVal),
            (lStartX, lStartY, lWidth, lHeight, plTh, pVal))
PVC_FORWARD(SetDispScale, (double fHor, double fVer, LONG* pVal), (fHor, fVer, pVal))
PVC_FORWARD(DrawText, (float lStartX, float lStartY, float lWdth, float lHeight, BSTR szText, LONG* pVal),
            (lStartX, lStartY, lWdth, lHeight, szText, pVal))
PVC_FORWARD(SetFontName, (BSTR szName, LONG* pVal), (szName, pVal))
PVC_FORWARD(SetFontInfo, (LONG lSize, LONG lWeight, LONG lItalic, LONG lUnderline, LONG lStrikeout,
            LONG* pVal),
            (lSize, lWeight, lItalic, lUnderline, lStrikeout, pVal))
PVC_FORWARD(DrawLine, (float fStartX, float fStartY, float fEndX, float fEndY, LONG* pVal),
            (fStartX, fStartY, fEndX, fEndY, pVal))
PVC_FORWARD(DrawEllipse, (float fLeft, float fTop, float fWidth, float fHeight, LONG lFill, LONG* pVal),
            (fLeft, fTop, fWidth, fHeight, lFill, pVal))
PVC_FORWARD(GetPalette, (LONG lInedx, LONG* plPal, LONG* pVal), (lInedx, plPal, pVal))
PVC_FORWARD(SetPalette, (LONG lIndex, LONG lPal, LONG* pVal), (lIndex, lPal, pVal))
PVC_FORWARD(GetClientDC, (LONG_PTR* pVal), (pVal))
PVC_FORWARD(ReleaseClientDC, (LONG_PTR Dc, LONG* pVal), (Dc, pVal))
PVC_FORWARD(ForceRepaint, (LONG* pVal), (pVal))
PVC_FORWARD(ClearDrawData, (LONG* pVal), (pVal))
PVC_FORWARD(CommitDrawData, (LONG* pVal), (pVal))
PVC_FORWARD(UndoDrawData, (LONG* pVal), (pVal))
PVC_FORWARD(get_DropFiles, (LONG* pVal), (pVal))
PVC_FORWARD(put_DropFiles, (LONG newVal), (newVal))
PVC_FORWARD(GetDispScale, (double* hor, double* ver, LONG* pVal), (hor, ver, pVal))
PVC_FORWARD(ClientToDIBPosition, (LONG* x, LONG* y, LONG* pVal), (x, y, pVal))
PVC_FORWARD(GetProfile, (LONG lStartX, LONG lStartY, LONG lEndX, LONG lEndY, LONG_PTR* phMem, LONG* lSize,
            LONG* pVal),
            (lStartX, lStartY, lEndX, lEndY, phMem, lSize, pVal))
PVC_FORWARD(RemoveAlonePoint, (LONG lBack, LONG* pVal), (lBack, pVal))
PVC_FORWARD(Labeling, (LONG lMin, LONG lMax, LONG lBack, LONG* pVal), (lMin, lMax, lBack, pVal))
PVC_FORWARD(SamplingOutline, (LONG lBack, LONG* pVal), (lBack, pVal))
PVC_FORWARD(Expansion, (LONG lBack, LONG* pVal), (lBack, pVal))
PVC_FORWARD(Contraction, (LONG lBack, LONG* pVal), (lBack, pVal))
PVC_FORWARD(LaplacianFilter, (LONG* pVal), (pVal))
PVC_FORWARD(SmoothAsMaxDensity, (LONG* pVal), (pVal))
PVC_FORWARD(SmoothAsMinDensity, (LONG* pVal), (pVal))
PVC_FORWARD(Contrast, (LONG lLow, LONG lHi, LONG* pVal), (lLow, lHi, pVal))
PVC_FORWARD(Gamma, (float fGamma, LONG* pVal), (fGamma, pVal))
PVC_FORWARD(RGBGamma, (float fRed, float fGreen, float fBlue, LONG* pVal), (fRed, fGreen, fBlue, pVal))
PVC_FORWARD(get_PreDropFiles, (LONG* pVal), (pVal))
PVC_FORWARD(put_PreDropFiles, (LONG newVal), (newVal))
PVC_FORWARD(GetRGBHistogram, (LONG lStartX, LONG lStartY, LONG lWidth, LONG lHeight, LONG_PTR* phRMem,
            LONG_PTR* phGMem, LONG_PTR* phBMem, LONG* pVal),
            (lStartX, lStartY, lWidth, lHeight, phRMem, phGMem, phBMem, pVal))
PVC_FORWARD(get_ContrastLow, (LONG* pVal), (pVal))
PVC_FORWARD(put_ContrastLow, (LONG newVal), (newVal))
PVC_FORWARD(get_ContrastHi, (LONG* pVal), (pVal))
PVC_FORWARD(put_ContrastHi, (LONG newVal), (newVal))
PVC_FORWARD(get_DrawType, (LONG* pVal), (pVal))
PVC_FORWARD(put_DrawType, (LONG newVal), (newVal))
PVC_FORWARD(get_WndWidth, (LONG* pVal), (pVal))
PVC_FORWARD(put_WndWidth, (LONG newVal), (newVal))
PVC_FORWARD(get_WndHeight, (LONG* pVal), (pVal))
PVC_FORWARD(put_WndHeight, (LONG newVal), (newVal))
PVC_FORWARD(DispLogDialog, (LONG lShow, LONG* pVal), (lShow, pVal))
PVC_FORWARD(LoadLog, (BSTR pszName, LONG lType, LONG* pVal), (pszName, lType, pVal))
PVC_FORWARD(SaveLog, (BSTR pszName, LONG lType, LONG* pVal), (pszName, lType, pVal))
PVC_FORWARD(DeleteLog, (LONG lIndex, LONG* pVal), (lIndex, pVal))
PVC_FORWARD(StartLog, (LONG* pVal), (pVal))
PVC_FORWARD(StopLog, (LONG* pVal), (pVal))
PVC_FORWARD(RemoveLog, (LONG* pVal), (pVal))
PVC_FORWARD(ExecuteLog, (LONG_PTR hMem, LONG lCnt, LONG* pVal), (hMem, lCnt, pVal))
PVC_FORWARD(SaveLogText, (BSTR pszName, LONG* pVal), (pszName, pVal))
PVC_FORWARD(DispImageInfo, (LONG* pVal), (pVal))
PVC_FORWARD(OperateRotate, (float* fAngle, LONG* pVal), (fAngle, pVal))
PVC_FORWARD(OperateTrim, (float* fLeft, float* fTop, float* fWidth, float* fHeight, LONG* pVal),
            (fLeft, fTop, fWidth, fHeight, pVal))
PVC_FORWARD(OperateSetSize, (LONG* lWidth, LONG* lHeight, LONG* lPos, LONG* pVal),
            (lWidth, lHeight, lPos, pVal))
PVC_FORWARD(OperateSetImageScale, (double* fHor, double* fVer, LONG* lType, LONG* pVal),
            (fHor, fVer, lType, pVal))
PVC_FORWARD(OperateSetPalette, (LONG* lIndex, LONG* lPal, LONG* lCnt, LONG* pVal), (lIndex, lPal, lCnt, pVal))
PVC_FORWARD(OperateMosaic, (LONG* iDim, LONG* pVal), (iDim, pVal))
PVC_FORWARD(OperateGamma, (float* fRed, float* fGreen, float* fBlue, LONG* pVal), (fRed, fGreen, fBlue, pVal))
PVC_FORWARD(OperateContrast, (LONG* lLow, LONG* lHi, LONG* pVal), (lLow, lHi, pVal))
PVC_FORWARD(OperateLoad, (LONG* pVal), (pVal))
PVC_FORWARD(OperateSave, (LONG* pVal), (pVal))
PVC_FORWARD(OperateLoadLog, (LONG lType, LONG* pVal), (lType, pVal))
PVC_FORWARD(OperateSaveLog, (LONG lType, LONG* pVal), (lType, pVal))
PVC_FORWARD(OperateSaveLogText, (LONG* pVal), (pVal))
PVC_FORWARD(GetPluginNumber, (BSTR szPluginFileName, LONG* pVal), (szPluginFileName, pVal))
PVC_FORWARD(GetPluginList, (LONG_PTR* hList, LONG* lCnt, LONG* pVal), (hList, lCnt, pVal))
PVC_FORWARD(SetPluginEnable, (LONG lPluginNo, LONG bEnable, LONG* pVal), (lPluginNo, bEnable, pVal))
PVC_FORWARD(GetPluginEnable, (LONG lPluginNo, LONG* pVal), (lPluginNo, pVal))
PVC_FORWARD(ExecutePlugin, (LONG lPluginNo, LONG_PTR hInData, LONG lInSize, LONG_PTR* phOutData,
            LONG* plOutSize, LONG* pVal),
            (lPluginNo, hInData, lInSize, phOutData, plOutSize, pVal))
PVC_FORWARD(GetImageScrollRange, (LONG* lHorMin, LONG* lHorMax, LONG* lVerMin, LONG* lVerMax, LONG* pVal),
            (lHorMin, lHorMax, lVerMin, lVerMax, pVal))
PVC_FORWARD(get_PaintScaleMode, (LONG* pVal), (pVal))
PVC_FORWARD(put_PaintScaleMode, (LONG newVal), (newVal))
PVC_FORWARD(SetCursorOfArrow, (LONG* pVal), (pVal))
PVC_FORWARD(SetCursorOfCross, (LONG* pVal), (pVal))
PVC_FORWARD(SetCursorOfWait, (LONG* pVal), (pVal))
PVC_FORWARD(GetCursorID, (LONG* pVal), (pVal))
PVC_FORWARD(SetCursorID, (LONG nID, LONG* pVal), (nID, pVal))
PVC_FORWARD(get_EnableMenu, (LONG* pVal), (pVal))
PVC_FORWARD(put_EnableMenu, (LONG newVal), (newVal))

// The field itself, read and written: no property sinks asked or told, no dirty flag, no repaint
// (the new colour shows at the next paint), and no status.
extern "C" void STDMETHODCALLTYPE PVC_get_BackColor(IPictavorCtl* ctl, OLE_COLOR* color) {
  if (ctl && color) *color = pv::control::PortableOf(ctl).properties().backColor;
}

extern "C" void STDMETHODCALLTYPE PVC_put_BackColor(IPictavorCtl* ctl, OLE_COLOR color) {
  if (ctl) pv::control::PortableOf(ctl).properties().backColor = color;
}
