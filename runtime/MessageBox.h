// The two small user-interface services of the runtime.
#pragma once

#include "runtime/DynString.h"

#include <cstdint>

// A modal message box with no owner; an empty caption shows "Talvermoor". Answers the
// identifier of the button that closed it.
std::int32_t ShowMessage(const DynString& text, std::int32_t style,
                         const DynString& caption) noexcept;

struct WorkAreaSize {
    std::int32_t width;
    std::int32_t height;
};

// The desktop without the task bar, in pixels.
WorkAreaSize DesktopWorkArea() noexcept;
