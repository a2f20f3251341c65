/* A Pictavor plugin that inverts the image: it takes the control's DIB with PVC_GetDIB,
   inverts its colours (the colour table of a palette image, the pixels of a 24- or 32-bit
   one) and hands it back with PVC_SetDIB. Build it as a DLL against the SDK: pictavor.h,
   pictavor_plugin.h and libPictavor.dll.a (32-bit: link with -Wl,--kill-at). */
#include <string.h>

#include "pictavor.h"
#include "pictavor_plugin.h"

#define EXPORT __declspec(dllexport)

EXPORT LONG WINAPI PVP_OnStart(void* control, HINSTANCE controlModule, PVP_INFO* info) {
  (void)control;
  (void)controlModule;
  info->size = PVP_INFO_SIZE;
  strcpy(info->displayName, "Invert colours");
  strcpy(info->menuText, "Invert");
  return 0;
}

EXPORT LONG WINAPI PVP_OnEnd(void* control) {
  (void)control;
  return 0;
}

/* Rows of a packed DIB: the header, the colour table, the pixels bottom-up. */
static LONG Invert(BITMAPINFOHEADER* header) {
  const DWORD colors = header->biClrUsed         ? header->biClrUsed
                       : header->biBitCount <= 8 ? 1u << header->biBitCount
                                                 : 0;
  RGBQUAD* table = (RGBQUAD*)((BYTE*)header + header->biSize);
  BYTE* pixels = (BYTE*)(table + colors);
  const LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  const DWORD stride = ((DWORD)header->biWidth * header->biBitCount + 31) / 32 * 4;
  if (header->biCompression != BI_RGB) return 3;
  if (header->biBitCount <= 8) {
    for (DWORD i = 0; i < colors; ++i) {
      table[i].rgbBlue ^= 0xFF;
      table[i].rgbGreen ^= 0xFF;
      table[i].rgbRed ^= 0xFF;
    }
    return 0;
  }
  if (header->biBitCount != 24 && header->biBitCount != 32) return 8;
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = pixels + (size_t)y * stride;
    for (LONG x = 0; x < header->biWidth; ++x) {
      BYTE* p = row + (size_t)x * (header->biBitCount / 8);
      p[0] ^= 0xFF, p[1] ^= 0xFF, p[2] ^= 0xFF;
    }
  }
  return 0;
}

EXPORT LONG WINAPI PVP_OnExecute(void* control, HGLOBAL input, LONG inputSize, HGLOBAL* output,
                                 LONG* outputSize) {
  IPictavorCtl* ctl = (IPictavorCtl*)control;
  LONG_PTR dib = 0;
  LONG result = 0;
  BITMAPINFOHEADER* header;
  (void)input;
  (void)inputSize;
  if (output) *output = NULL; /* nothing to hand out */
  if (outputSize) *outputSize = 0;
  if (FAILED(PVC_GetDIB(ctl, &dib)) || !dib) return 9; /* no image */
  header = (BITMAPINFOHEADER*)GlobalLock((HGLOBAL)dib);
  result = header ? Invert(header) : 7;
  if (header) GlobalUnlock((HGLOBAL)dib);
  if (result == 0 && FAILED(PVC_SetDIB(ctl, dib, &result))) result = 1;
  GlobalFree((HGLOBAL)dib); /* SetDIB keeps its own copy */
  return result;
}
