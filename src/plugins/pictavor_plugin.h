/* Pictavor plugins: what a plugin DLL exports and what the control passes to it.

   A plugin is a DLL found through the search pattern in the registry value "PluginDir" of
   HKEY_LOCAL_MACHINE\SOFTWARE\Norvell\Pictavor\1.00.000 (a folder and a wildcard file name,
   used verbatim; in the registry view of the control's bitness). The control loads every
   match when its window is created and unloads them when the window goes.

   Entry points are exported by these undecorated names (link a 32-bit plugin with
   -Wl,--kill-at or a .def file) and use the standard Windows calling convention (__stdcall;
   on x64 the one calling convention there is). Integers are 32 bits; the control pointer and
   memory handles are pointer-sized, so the same source builds for both DLLs.

   `control` is the control's IPictavorCtl pointer, valid from PVP_OnStart to the return of
   PVP_OnEnd. A plugin calls the control back through it: the automation interface, or the
   flat PVC_ functions of pictavor.h (link libPictavor.dll.a, or look them up with
   GetProcAddress on the module handle PVP_OnStart receives). Calls a plugin makes while
   PVP_OnExecute runs are not recorded in the control's Operation log: the execution itself is
   recorded (code 114), with the information block and the input, and replay runs the plugin
   again by its file name.

   Every call comes on the control's window thread, in plugin-number order (load order). */
#ifndef PICTAVOR_PLUGIN_H
#define PICTAVOR_PLUGIN_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The information block, filled by the plugin in PVP_OnStart (zero-filled on entry). */
#define PVP_INFO_SIZE 580
#define PVP_FILE_NAME_OFFSET 4 /* 256 bytes: set by the control, the DLL's lower-case file name */
#define PVP_DISPLAY_NAME_OFFSET 260 /* 240 bytes: must not be empty; the plugin's text in the log \
                                     */
#define PVP_MENU_TEXT_OFFSET 500    /* 80 bytes: the context-menu item; empty for none */

typedef struct PVP_INFO {
  DWORD size;            /* offset 0: must be PVP_INFO_SIZE */
  char fileName[256];    /* offset 4 */
  char displayName[240]; /* offset 260 */
  char menuText[80];     /* offset 500 */
} PVP_INFO;

/* Return 0 to be loaded. Anything else, a size other than 580 or an empty display name: the
   DLL is freed again, without PVP_OnEnd. `controlModule` is Pictavor.dll's module handle. */
typedef LONG(WINAPI* PVP_OnStartProc)(void* control, HINSTANCE controlModule, PVP_INFO* info);
/* At unload, for every loaded plugin, enabled or not. */
typedef LONG(WINAPI* PVP_OnEndProc)(void* control);
/* SetPluginEnable: 0 accepts the new state; any other value refuses it and is the method's
   result. Without this entry point every change is accepted. */
typedef LONG(WINAPI* PVP_OnEnableProc)(void* control, LONG enable);
/* While the context menu is built: `state` holds the plugin's number on entry; 0 in it after a
   0 return shows the item greyed. A non-zero return greys it too. Without this entry point the
   item is greyed for plugin 0 only. */
typedef LONG(WINAPI* PVP_OnMenuProc)(void* control, LONG* state);
/* ExecutePlugin, the context menu (input null, 0, no outputs) and replay (a copy of the logged
   input, no outputs). `output` and `outputSize` are the caller's slots passed through, or
   null: the control never reads or frees what a plugin puts there; the caller owns it (free it
   with GlobalFree). The result is a Result code; 0 records the execution in the log. */
typedef LONG(WINAPI* PVP_OnExecuteProc)(void* control, HGLOBAL input, LONG inputSize,
                                        HGLOBAL* output, LONG* outputSize);
/* Mouse input and paints, before the control's own events carry the same values: buttons held
   (1 left, 2 right, 16 middle) or the one button, shift state (4 Shift, 8 Ctrl), the client
   point (screen point for the wheel), the wheel delta (120 a notch, positive away from the
   user). Only enabled plugins are called. Results are ignored. */
typedef LONG(WINAPI* PVP_OnMouseMoveProc)(void* control, LONG buttons, LONG shift, LONG x, LONG y);
typedef LONG(WINAPI* PVP_OnMouseDownProc)(void* control, LONG button, LONG shift, LONG x, LONG y);
typedef LONG(WINAPI* PVP_OnMouseUpProc)(void* control, LONG button, LONG shift, LONG x, LONG y);
typedef LONG(WINAPI* PVP_OnMouseWheelProc)(void* control, LONG buttons, LONG shift, LONG wheel,
                                           LONG x, LONG y);
/* After the control painted its window with AutoRepaint on (before the host's Draw event), and
   after ForceRepaint. */
typedef LONG(WINAPI* PVP_OnDrawProc)(void* control);
/* PVP_OnScroll, PVP_OnDropFiles and PVP_OnPreDropFiles are looked up but not called: scrolling
   and dropped files reach only the host's events. The names are reserved. */

#ifdef __cplusplus
}
#endif

#endif /* PICTAVOR_PLUGIN_H */
