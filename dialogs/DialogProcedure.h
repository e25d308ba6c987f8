// The dialog procedure of every engine dialog: routes its messages to the callbacks and
// does the engine's own part (records, a control kind's painting, colours, closing).
#pragma once

#include "platform/Platform.h"

INT_PTR CALLBACK EngineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
