/* Pictavor from C through the flat API: each PVC_ function takes the control first, then the
 * member's parameters, and reports its Result code through the last one.
 *
 *   convert IN OUT.bmp     loads IN, makes it grey, halves it and saves it as a BMP
 *
 * Build against the SDK alone (MinGW; other toolchains make their import library from
 * lib/Pictavor.def):
 *   x86_64-w64-mingw32-gcc convert.c -I SDK/include SDK/lib/libPictavor.dll.a -lole32 -loleaut32
 * and run it where Windows finds Pictavor.dll: beside it, or with its folder on PATH.
 */
#define COBJMACROS
#define INITGUID
#include <ole2.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include "pictavor.h"

static int Report(const char* step, LONG result) {
  printf("%s %ld\n", step, (long)result);
  return result == 0;
}

static BSTR Text(const char* text) {
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
  return SysAllocString(wide);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: convert IN OUT.bmp\n");
    return 2;
  }
  CoInitialize(NULL);
  IPictavorCtl* control = NULL;
  /* The registered control; a program with a manifest naming the Pictavor assembly gets it
   * without registration the same way. */
  HRESULT hr = CoCreateInstance(&CLSID_PictavorCtl, NULL, CLSCTX_INPROC_SERVER, &IID_IPictavorCtl,
                                (void**)&control);
  if (FAILED(hr)) {
    fprintf(stderr, "cannot create Pictavor.PictavorCtl (0x%08lX)\n", (unsigned long)hr);
    return 1;
  }
  BSTR in = Text(argv[1]), out = Text(argv[2]);
  LONG result = -1, width = 0, height = 0;
  int ok = (PVC_Load(control, in, 0, 0, &result), Report("Load", result)) &&
           (PVC_Grayscale(control, 0, 0.299, 0.587, 0.114, &result), Report("Grayscale", result));
  PVC_GetWidth(control, &width);
  PVC_GetHeight(control, &height);
  ok = ok && (PVC_SetImageScale(control, 0.5, 0.5, 0, &result), Report("SetImageScale", result)) &&
       (PVC_Save(control, out, 4, 0, 0, &result), Report("Save", result));
  printf("%ld x %ld\n", (long)width, (long)height);
  SysFreeString(in);
  SysFreeString(out);
  IPictavorCtl_Release(control);
  CoUninitialize();
  return ok ? 0 : 1;
}
