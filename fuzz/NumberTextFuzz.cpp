// NumberFromText on random bytes, against the number's grammar read plainly and converted
// by the C library; then the value through NumberText, FormatNumber with a random mask
// and the integer conversions, which must take any double without undefined behaviour.
#include "fuzz/FuzzCheck.h"
#include "runtime/NumberText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The leading number as plain text for strtod: spaces, TABs and LFs skipped, a sign,
// digits with one point, and an exponent of E or D (at most 9999); "" when no digit.
std::string LeadingNumber(const std::string& s) {
    std::size_t at = s.find_first_not_of(" \t\n");
    if (at == std::string::npos) {
        return "";
    }
    std::string number;
    if (s[at] == '+' || s[at] == '-') {
        number += s[at++];
    }
    bool digit = false;
    bool point = false;
    for (; at < s.size(); ++at) {
        if (s[at] == '.' && !point) {
            point = true;
            number += '.';
        } else if (s[at] >= '0' && s[at] <= '9') {
            digit = true;
            number += s[at];
        } else {
            break;
        }
    }
    if (!digit) {
        return "";
    }
    if (at < s.size() && std::string("EeDd").find(s[at]) != std::string::npos) {
        ++at;
        bool negative = false;
        if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
            negative = s[at++] == '-';
        }
        long exponent = 0;
        for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at) {
            exponent = std::min(exponent * 10 + (s[at] - '0'), 9999L);
        }
        number += "e" + std::string(negative ? "-" : "") + std::to_string(exponent);
    }
    return number;
}

bool Close(double a, double b) {
    if (a == b) {
        return true;
    }
    if (std::isinf(a) || std::isinf(b)) {
        return false;
    }
    // Only 18 significant digits are read; the rest may move the last bit or two, and
    // values at the bottom of the range lose their precision.
    return std::fabs(a - b) <= 1e-15 * std::fmax(std::fabs(a), std::fabs(b)) ||
           std::fabs(a - b) <= 1e-300;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeRandomLengthString(400);
    const std::string mask = in.ConsumeRandomLengthString(40);

    const double value = NumberFromText(DynString(std::string_view(text)));
    const std::string plain = LeadingNumber(text);
    const double expected = plain.empty() ? 0.0 : std::strtod(plain.c_str(), nullptr);
    Check(!std::isnan(value), "a number is never NaN");
    Check(Close(value, expected), "the leading number is read");

    const DynString shown = NumberText(value);
    if (std::isfinite(value) && std::fabs(value) < 1e300 && std::fabs(value) > 1e-300) {
        const double again = NumberFromText(shown);
        Check(std::fabs(again - value) <= 1e-14 * std::fabs(value), "NumberText reads back");
    }
    FormatNumber(value, DynString(std::string_view(mask)));
    FormatNumber(in.ConsumeFloatingPoint<double>(), DynString(std::string_view(mask)));
    RoundToInteger(value);
    RoundToInt32(in.ConsumeFloatingPoint<double>());
    return 0;
}
