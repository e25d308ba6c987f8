// The display operations that the editor core calls, and the only ones:
//   the canvas (canvas/Canvas.h): CanvasAttach, CanvasRedraw, CanvasGetSize, CanvasSetFont,
//     CanvasGetCharSize, CanvasMoveTo, CanvasPrint, CanvasSetTextColor, CanvasSetBackColor,
//     CanvasDrawPicture, CanvasGetPixels, CanvasSetPixels, CanvasClear, CanvasLineTo;
//   the control services (dialogs/ControlServices.h): GetControlHandle, GetControlUser,
//     SetControlUser, SetWindowCaption;
//   the command menu (dialogs/CommandMenu.h): ShowCommandMenu;
//   the platform: PostMessageA, for the close request.
// The Windows tree links the real ones; the native tests and the fuzzers link the
// recording fakes of tests/native/editor/fakes/DisplayFakes.cpp, which provide exactly
// these. The editor core reaches the display through this header alone.
#pragma once

#include "canvas/Canvas.h"
#include "dialogs/CommandMenu.h"
#include "dialogs/ControlServices.h"
#include "platform/Platform.h"
