// PictavorCtl, the control object: IPictavorCtl (dual, its members routed to the portable
// member table), ISupportErrorInfo, IProvideClassInfo2 and IConnectionPointContainer with the
// event and property-notification connection points.
#pragma once

#include "control/com/com.h"

namespace pv::control {

// A new control, answering `riid`.
HRESULT CreateControl(REFIID riid, void** ppv);

}  // namespace pv::control
