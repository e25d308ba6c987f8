// The colours of engine controls, as the platform asks a dialog for them.
#pragma once

#include "platform/Platform.h"

// The dialog's answer to WM_CTLCOLORMSGBOX..WM_CTLCOLORSTATIC: sets the DC's colours and
// gives the brush to paint with, or 0 when the control's colours were never set, so that
// the platform's defaults apply.
INT_PTR ApplyControlColours(UINT message, HDC dc, HWND control) noexcept;
