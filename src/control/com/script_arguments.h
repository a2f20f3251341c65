// Scripts pass variables by reference as VARIANTs (VT_BYREF | VT_VARIANT). Windows' type-library
// Invoke turns them into the typed pointers the members take; Wine's refuses them with a type
// mismatch. This adapter does the turning itself, so that out parameters (GetPalette's plPal,
// GetDispScale's hor and ver...) work from scripts on both.
#pragma once

#include <vector>

#include "control/com/com.h"

namespace pv::control {

class ScriptArguments {
 public:
  // The caller's arguments for member `id` as `info` describes it, with every by-reference
  // VARIANT that meets a typed pointer replaced by a typed variable holding its value.
  ScriptArguments(ITypeInfo* info, DISPID id, WORD flags, const DISPPARAMS& params);
  ~ScriptArguments();
  ScriptArguments(const ScriptArguments&) = delete;
  ScriptArguments& operator=(const ScriptArguments&) = delete;

  DISPPARAMS* params() { return &params_; }
  // Hands the typed variables' values back to the caller's VARIANTs.
  void WriteBack();

 private:
  struct Unwrapped {
    VARIANT* callers;  // the VARIANT the caller's reference leads to
    VARIANT typed;     // the member writes here
  };

  std::vector<VARIANT> arguments_;
  std::vector<Unwrapped> unwrapped_;  // never grows after construction: `typed` is referenced
  DISPPARAMS params_;
};

}  // namespace pv::control
