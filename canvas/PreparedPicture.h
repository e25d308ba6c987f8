// A picture file stretched ahead of its drawing, on a thread of its own: stretching a
// picture to the size of the screen takes longer than anything else of the editor's first
// screen, and can be done while the person still chooses the text.
#pragma once

#include "platform/Platform.h"
#include "runtime/DynString.h"

#include <string_view>

// Starts stretching the picture file to the rectangle, as CanvasDrawPicture would stretch
// it there; nothing when a picture is being prepared or waits to be taken already.
void PreparePicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept;

// The prepared picture, waited for, when it was made from these very bytes, for that name
// and size; else null. The preparation is gone afterwards, taken or not; the caller owns
// the bitmap, compatible with a DC that holds a 32-bit top-down DIB section.
HBITMAP TakePreparedPicture(const char* name, std::string_view bytes, int width,
                            int height) noexcept;
