// The window handle type, without the platform header: STRICT Windows declares HWND as
// a pointer to the incomplete struct HWND__, and the POSIX stand-in does the same, so
// headers of the editor's display services can name windows on both sides.
#pragma once

struct HWND__;
using WindowHandle = HWND__*;
