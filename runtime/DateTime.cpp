#include "runtime/DateTime.h"

#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"

namespace {

// Two decimal digits, tens then units. A value above 99 keeps its last two digits, so
// the text keeps its width whatever the clock says.
void WriteTwoDigits(char* out, unsigned value) noexcept {
    out[0] = static_cast<char>('0' + value / 10 % 10);
    out[1] = static_cast<char>('0' + value % 10);
}

} // namespace

LocalTime ReadLocalTime() noexcept {
    // A record per call: two threads asking at once cannot see each other's time.
    SYSTEMTIME now{};
    ApiCallGate([&] { GetLocalTime(&now); });
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

DynString FormatDate(const LocalTime& time) noexcept {
    DynString text = DynString::OfLength(10);
    if (char* out = text.MutableBytes()) {
        WriteTwoDigits(out, time.month);
        out[2] = '-';
        WriteTwoDigits(out + 3, time.day);
        out[5] = '-';
        WriteTwoDigits(out + 6, time.year / 100u);
        WriteTwoDigits(out + 8, time.year % 100u);
    }
    return text;
}

DynString FormatTime(const LocalTime& time) noexcept {
    DynString text = DynString::OfLength(8);
    if (char* out = text.MutableBytes()) {
        WriteTwoDigits(out, time.hour);
        out[2] = ':';
        WriteTwoDigits(out + 3, time.minute);
        out[5] = ':';
        WriteTwoDigits(out + 6, time.second);
    }
    return text;
}

DynString DateText() noexcept {
    return FormatDate(ReadLocalTime());
}

DynString TimeText() noexcept {
    return FormatTime(ReadLocalTime());
}
