// The current local date and time as fixed-width text.
#pragma once

#include "runtime/DynString.h"

#include <cstdint>

struct LocalTime {
    std::uint16_t year;
    std::uint16_t month;
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
};

// The local time now, read through the system-call gate.
LocalTime ReadLocalTime() noexcept;

// MM-DD-YYYY, e.g. '12-08-2026'.
DynString FormatDate(const LocalTime& time) noexcept;
// HH:MM:SS on the 24-hour clock, e.g. '04:05:06'.
DynString FormatTime(const LocalTime& time) noexcept;

DynString DateText() noexcept;
DynString TimeText() noexcept;
