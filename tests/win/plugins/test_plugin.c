/* The plugins the Plugin host's tests load, one DLL per behaviour (the PLUGIN_ define):
   recorder      accepted; records every call (read back with Recorded); its PVP_OnExecute
                 turns the image over through the control, a call the log must not record
   refuse_start  PVP_OnStart answers 1
   size576       sets the block's size to 576
   empty_name    leaves the display name empty
   no_execute    accepted, without PVP_OnExecute
   refuse_enable accepted; PVP_OnEnable answers 5
   menu          accepted; PVP_OnMenu sets the state to 7 */
#include <string.h>

#include "pictavor.h"
#include "pictavor_plugin.h"

#define EXPORT __declspec(dllexport)

/* One call: the entry point's letter and its integer arguments after the control. */
typedef struct {
  char entry;
  LONG args[5];
} Call;

static Call calls[256];
static LONG callCount;

static void Record(char entry, LONG a, LONG b, LONG c, LONG d, LONG e) {
  if (callCount < 256) {
    Call call = {entry, {a, b, c, d, e}};
    calls[callCount++] = call;
  }
}

EXPORT const Call* Recorded(LONG* count) {
  *count = callCount;
  return calls;
}

EXPORT void ForgetCalls(void) { callCount = 0; }

EXPORT LONG WINAPI PVP_OnStart(void* control, HINSTANCE controlModule, PVP_INFO* info) {
  (void)control;
  (void)controlModule;
#ifdef PLUGIN_size576
  info->size = 576;
#else
  info->size = PVP_INFO_SIZE;
#endif
#ifndef PLUGIN_empty_name
  strcpy(info->displayName, "Test plugin");
#endif
  strcpy(info->menuText, "Test");
  strcpy(info->fileName, "overwritten by the host");
#ifdef PLUGIN_refuse_start
  return 1;
#else
  return 0;
#endif
}

EXPORT LONG WINAPI PVP_OnEnd(void* control) {
  (void)control;
  Record('E', 0, 0, 0, 0, 0);
  return 0;
}

#ifndef PLUGIN_no_execute
EXPORT LONG WINAPI PVP_OnExecute(void* control, HGLOBAL input, LONG inputSize, HGLOBAL* output,
                                 LONG* outputSize) {
  LONG turned = -1;
  Record('X', inputSize, input != NULL, output != NULL, outputSize != NULL, 0);
  PVC_TurnOver((IPictavorCtl*)control, 0, &turned);
  return 0;
}
#endif

#ifdef PLUGIN_refuse_enable
EXPORT LONG WINAPI PVP_OnEnable(void* control, LONG enable) {
  (void)control;
  Record('N', enable, 0, 0, 0, 0);
  return 5;
}
#endif

#ifdef PLUGIN_menu
EXPORT LONG WINAPI PVP_OnMenu(void* control, LONG* state) {
  (void)control;
  *state = 7;
  return 0;
}
#endif

EXPORT LONG WINAPI PVP_OnMouseMove(void* control, LONG buttons, LONG shift, LONG x, LONG y) {
  (void)control;
  Record('M', buttons, shift, x, y, 0);
  return 0;
}

EXPORT LONG WINAPI PVP_OnMouseDown(void* control, LONG button, LONG shift, LONG x, LONG y) {
  (void)control;
  Record('D', button, shift, x, y, 0);
  return 0;
}

EXPORT LONG WINAPI PVP_OnMouseUp(void* control, LONG button, LONG shift, LONG x, LONG y) {
  (void)control;
  Record('U', button, shift, x, y, 0);
  return 0;
}

EXPORT LONG WINAPI PVP_OnMouseWheel(void* control, LONG buttons, LONG shift, LONG wheel, LONG x,
                                    LONG y) {
  (void)control;
  Record('W', buttons, shift, wheel, x, y);
  return 0;
}

EXPORT LONG WINAPI PVP_OnDraw(void* control) {
  (void)control;
  Record('P', 0, 0, 0, 0, 0);
  return 0;
}
