// The one seam between the program and the operating system.
//
// On Windows this is the real ANSI API. Elsewhere it is a small POSIX stand-in for the
// kernel calls that the runtime makes, so that the platform-free logic builds, runs and
// can be tested natively. No other file includes a platform header.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#include <windows.h>
#include <commdlg.h>
#include <oleauto.h>
#include <objbase.h>

// The platform itself never refuses an allocation on purpose; only the POSIX stand-in's
// test support does.
inline bool PlatformRefusesAllocation() noexcept {
    return false;
}
#else
#include "PosixKernel.h"
#endif
