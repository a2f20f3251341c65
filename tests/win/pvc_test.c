/* The flat API as a C program uses it: Pictavor.dll loaded by path, a control from its class
 * factory, and PVC_ functions called with the control pointer first. Built twice: finding each
 * function with GetProcAddress by its plain name, and (PVC_LINKED) calling the prototypes of
 * pictavor.h through the import library. */
#define COBJMACROS
#include <ole2.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "pictavor.h"

static int failures = 0;

#define CHECK(condition)                                             \
  do {                                                               \
    if (!(condition)) {                                              \
      printf("%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                    \
    }                                                                \
  } while (0)

typedef HRESULT(WINAPI* GetLong)(IPictavorCtl*, LONG*);
typedef HRESULT(WINAPI* PutLong)(IPictavorCtl*, LONG);
typedef HRESULT(WINAPI* LongToLong)(IPictavorCtl*, LONG, LONG*);
typedef HRESULT(WINAPI* LoadFile)(IPictavorCtl*, BSTR, LONG, LONG, LONG*);
typedef HRESULT(WINAPI* SaveFile)(IPictavorCtl*, BSTR, LONG, LONG, LONG, LONG*);
typedef HRESULT(WINAPI* ColorRes)(IPictavorCtl*, LONG, LONG, LONG, LONG, LONG*);
typedef HRESULT(WINAPI* GetPalette)(IPictavorCtl*, LONG, LONG*, LONG*);
typedef HRESULT(WINAPI* SetPalette)(IPictavorCtl*, LONG, LONG, LONG*);
typedef HRESULT(WINAPI* SaveMemory)(IPictavorCtl*, LONG_PTR*, LONG, LONG, LONG, LONG*, LONG*);
typedef HRESULT(WINAPI* LoadMemory)(IPictavorCtl*, LONG_PTR, LONG, LONG, LONG*);
typedef HRESULT(WINAPI* GetHandle)(IPictavorCtl*, LONG_PTR*);
typedef HRESULT(WINAPI* SetHandle)(IPictavorCtl*, LONG_PTR, LONG*);
typedef HRESULT(WINAPI* SetDispScale)(IPictavorCtl*, double, double, LONG*);
typedef void(WINAPI* GetColor)(IPictavorCtl*, OLE_COLOR*);
typedef void(WINAPI* PutColor)(IPictavorCtl*, OLE_COLOR);
typedef HRESULT(WINAPI* GetClassObject)(REFCLSID, REFIID, void**);

static HMODULE dll;

#ifdef PVC_LINKED
#define PVC(type, name) PVC_##name
#else
static FARPROC Export(const char* name) {
  FARPROC f = GetProcAddress(dll, name);
  if (!f) printf("no export %s\n", name);
  CHECK(f != NULL);
  return f;
}

#define PVC(type, name) ((type)(void*)Export("PVC_" #name))
#endif

static IPictavorCtl* CreateControl(void) {
  GetClassObject getClassObject = (GetClassObject)(void*)GetProcAddress(dll, "DllGetClassObject");
  IClassFactory* factory = NULL;
  IPictavorCtl* control = NULL;
  if (!getClassObject ||
      FAILED(getClassObject(&CLSID_PictavorCtl, &IID_IClassFactory, (void**)&factory)))
    return NULL;
  IClassFactory_CreateInstance(factory, NULL, &IID_IPictavorCtl, (void**)&control);
  IClassFactory_Release(factory);
  return control;
}

/* The file the test loads, in the fixtures folder beside this source. */
static BSTR FixturePath(const char* name) {
  wchar_t path[MAX_PATH];
  char narrow[MAX_PATH];
  snprintf(narrow, sizeof narrow, "%s/%s", PICTAVOR_FIXTURES, name);
  MultiByteToWideChar(CP_UTF8, 0, narrow, -1, path, MAX_PATH);
  return SysAllocString(path);
}

static void Files(IPictavorCtl* c) {
  LONG v = -7, width = 0, bits = 0, colour = 0, size = 0;
  LONG_PTR block = 0;
  BSTR name = FixturePath("im_24bit.bmp");
  CHECK(PVC(GetLong, GetWidth)(c, &v) == S_OK && v == -1);
  CHECK(PVC(LoadFile, Load)(c, name, 0, 0, &v) == S_OK && v == 0);
  CHECK(PVC(GetLong, GetWidth)(c, &width) == S_OK && width > 0);
  CHECK(PVC(GetLong, GetBitmapBits)(c, &bits) == S_OK && bits == 24);
  CHECK(PVC(ColorRes, ColorRes)(c, 8, 0, 0, 0, &v) == S_OK && v == 0);
  CHECK(PVC(SetPalette, SetPalette)(c, 5, 0x0A0B0C, &v) == S_OK && v == 0);
  CHECK(PVC(GetPalette, GetPalette)(c, 5, &colour, &v) == S_OK && v == 0 && colour == 0x0A0B0C);
  CHECK(PVC(LongToLong, Monochrome)(c, 0, &v) == S_OK && v == 1);
  CHECK(PVC(SaveMemory, SaveMemory)(c, &block, 4, 0, 0, &size, &v) == S_OK && v == 0 && block != 0);
  CHECK(PVC(SetHandle, SetDIB)(c, 0, &v) == S_OK && v == 0);
  CHECK(PVC(GetLong, GetHeight)(c, &v) == S_OK && v == -1);
  CHECK(PVC(LoadMemory, LoadMemory)(c, block, 0, 0, &v) == S_OK && v == 0);
  CHECK(PVC(GetLong, GetBitmapBits)(c, &bits) == S_OK && bits == 8);
  GlobalFree((HGLOBAL)block);
  CHECK(PVC(GetHandle, GetDIB)(c, &block) == S_OK && block != 0 && GlobalSize((HGLOBAL)block) > 40);
  GlobalFree((HGLOBAL)block);
  SysFreeString(name);
}

static void Properties(IPictavorCtl* c) {
  LONG v = -7;
  OLE_COLOR colour = 0;
  CHECK(PVC(GetLong, get_PaintScaleMode)(c, &v) == S_OK && v == 4);
  CHECK(PVC(PutLong, put_DrawPenStyle)(c, 3) == S_OK);
  CHECK(PVC(GetLong, get_DrawPenStyle)(c, &v) == S_OK && v == 3);
  CHECK(PVC(PutLong, put_DrawPenStyle)(c, 9) == S_OK);
  CHECK(PVC(GetLong, get_DrawPenStyle)(c, &v) == S_OK && v == 3);
  /* BackColor's two exports read and write the field that the interface's property shows. */
  PVC(PutColor, put_BackColor)(c, 0x80000005);
  PVC(GetColor, get_BackColor)(c, &colour);
  CHECK(colour == 0x80000005);
  colour = 0;
  CHECK(IPictavorCtl_get_BackColor(c, &colour) == S_OK && colour == 0x80000005);
  CHECK(IPictavorCtl_put_BackColor(c, 0x00123456) == S_OK);
  PVC(GetColor, get_BackColor)(c, &colour);
  CHECK(colour == 0x00123456);
  PVC(GetColor, get_BackColor)(NULL, &colour); /* no control: nothing happens */
}

static void Refusals(IPictavorCtl* c) {
  LONG v = -7;
  CHECK(PVC(GetLong, GetWidth)(NULL, &v) == E_POINTER && v == -7);
  CHECK(PVC(GetLong, GetWidth)(c, NULL) == E_POINTER);
  /* Another missing output is the member's bad parameter. */
  CHECK(PVC(GetPalette, GetPalette)(c, 0, NULL, &v) == S_OK && v == 1);
  /* No window yet: the scale is stored and the layout waits for one. */
  CHECK(PVC(SetDispScale, SetDispScale)(c, 2.0, 0.5, &v) == S_OK && v == 0);
  CHECK(GetProcAddress(dll, "PVC_DispHistogram") == NULL);
  CHECK(GetProcAddress(dll, "PVC_ShowImageMenu") == NULL);
}

int main(void) {
  IPictavorCtl* control;
  dll = LoadLibraryA(PICTAVOR_DLL);
  if (!dll) {
    printf("cannot load %s\n", PICTAVOR_DLL);
    return 1;
  }
  CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
  control = CreateControl();
  CHECK(control != NULL);
  if (control) {
    Files(control);
    Properties(control);
    Refusals(control);
    IPictavorCtl_Release(control);
  }
  CoUninitialize();
#ifdef PVC_LINKED
  printf("flat API through the import library: %s\n", failures ? "FAILED" : "passed");
#else
  printf("flat API by GetProcAddress: %s\n", failures ? "FAILED" : "passed");
#endif
  return failures ? 1 : 0;
}
