#include "runtime/NumberText.h"

#include "runtime/ErrorNumber.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The general decimal text of x after its sign (positiveSign for zero and positive
// values): integers of up to 15 digits in full, anything else with 15 significant
// digits, in exponent form where the point would be far from the digits.
struct GeneralText {
    char bytes[40];
    std::uint32_t length;
};

GeneralText MakeGeneralText(double x, const char* positiveSign) noexcept {
    GeneralText text{};
    // -0 counts as zero, so it gets the positive sign.
    const char* sign = x < 0 ? "-" : positiveSign;
    if (std::isnan(x)) {
        std::snprintf(text.bytes, sizeof text.bytes, "%sNaN", positiveSign);
    } else if (std::isinf(x)) {
        std::snprintf(text.bytes, sizeof text.bytes, "%sInf", sign);
    } else {
        std::snprintf(text.bytes, sizeof text.bytes, "%s%.15G", sign, std::fabs(x));
    }
    // Some C libraries write three exponent digits: keep two at least, no more.
    char* e = std::strchr(text.bytes, 'E');
    if (e != nullptr) {
        char* digits = e + 2;
        while (std::strlen(digits) > 2 && digits[0] == '0') {
            std::memmove(digits, digits + 1, std::strlen(digits));
        }
    }
    text.length = static_cast<std::uint32_t>(std::strlen(text.bytes));
    return text;
}

DynString FromStd(const std::string& text) noexcept {
    return DynString(text.data(), static_cast<std::uint32_t>(text.size()));
}

} // namespace

DynString NumberText(double x) noexcept {
    const GeneralText text = MakeGeneralText(x, " ");
    return DynString(text.bytes, text.length);
}

double NumberFromText(const DynString& s) noexcept {
    const char* p = s.Bytes();
    const char* const end = p + s.Length();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n')) {
        ++p;
    }
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p++ == '-';
    }

    // Up to 18 significant digits make the mantissa; the power of ten takes the rest.
    constexpr int kSignificant = 18;
    char mantissa[kSignificant + 1];
    int used = 0;
    long long scale = 0;
    bool anyDigit = false;
    bool point = false;
    for (; p < end; ++p) {
        if (*p == '.' && !point) {
            point = true;
        } else if (*p >= '0' && *p <= '9') {
            anyDigit = true;
            if (used == 0 && *p == '0') {
                if (point) {
                    --scale;
                }
            } else if (used < kSignificant) {
                mantissa[used++] = *p;
                if (point) {
                    --scale;
                }
            } else if (!point) {
                ++scale;
            }
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return 0;
    }

    if (p < end && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
        ++p;
        bool exponentNegative = false;
        if (p < end && (*p == '+' || *p == '-')) {
            exponentNegative = *p++ == '-';
        }
        long long exponent = 0;
        for (; p < end && *p >= '0' && *p <= '9'; ++p) {
            exponent = exponent < 9999 ? exponent * 10 + (*p - '0') : 9999;
        }
        if (exponent > 9999) {
            exponent = 9999;
        }
        scale += exponentNegative ? -exponent : exponent;
    }
    if (used == 0) {
        return negative ? -0.0 : 0.0;
    }

    // The digits and the power in a form the C library converts with correct rounding,
    // without a decimal point, so no locale setting is involved.
    char text[kSignificant + 32];
    std::snprintf(text, sizeof text, "%.*se%lld", used, mantissa, scale);
    const double value = std::strtod(text, nullptr);
    return negative ? -value : value;
}

namespace {

// A mask section, parsed: literal text, digit placeholders ("0" shows a digit always, "#"
// only where the number has one) and the decimal point, in mask order.
struct MaskItem {
    enum Kind { Literal, Digit, Point } kind;
    char placeholder; // "0" or "#" of a digit
    bool fraction;    // a digit after the point
    std::string text; // of a literal
};

struct MaskSection {
    std::vector<MaskItem> items;
    bool grouping = false; // "," among the integer digits: thousands separated by ","
    bool percent = false;  // "%": the value is shown times 100
    int placeholders = 0;  // integer digit placeholders
    int minimumDigits = 0; // integer digits shown at least: from the first "0" on
    int fractionDigits = 0;
};

// Splits the mask at ";" outside quotes and escapes into at most three sections (for
// positive, negative and zero values); anything after a third ";" is ignored.
std::vector<std::string> SplitSections(std::string_view mask) {
    std::vector<std::string> sections(1);
    bool quoted = false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == ';' && !quoted) {
            if (sections.size() == 3) {
                break;
            }
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && !quoted && i + 1 < mask.size()) {
            sections.back() += mask[++i];
        }
    }
    return sections;
}

// The recognised characters: "0", "#", ".", ",", "%", quoted text and "\" escapes. Every
// other character, "*", "E" and "e" included (no fill, no exponent form), is copied as it
// stands.
MaskSection ParseSection(std::string_view text) {
    MaskSection section;
    bool point = false;
    bool digitSeen = false;
    auto literal = [&](std::string_view bytes) {
        section.items.push_back({MaskItem::Literal, 0, point, std::string(bytes)});
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            const std::size_t close = text.find('"', i + 1);
            const std::size_t stop = close == std::string_view::npos ? text.size() : close;
            literal(text.substr(i + 1, stop - i - 1));
            i = stop;
        } else if (c == '\\') {
            if (i + 1 < text.size()) {
                literal(text.substr(++i, 1));
            }
        } else if (c == '0' || c == '#') {
            section.items.push_back({MaskItem::Digit, c, point, {}});
            digitSeen = true;
            if (point) {
                ++section.fractionDigits;
            } else {
                ++section.placeholders;
                if (c == '0' && section.minimumDigits == 0) {
                    section.minimumDigits = 1;
                } else if (section.minimumDigits > 0) {
                    ++section.minimumDigits;
                }
            }
        } else if (c == '.' && !point) {
            section.items.push_back({MaskItem::Point, 0, false, {}});
            point = true;
        } else if (c == ',' && !point && digitSeen) {
            section.grouping = true;
        } else {
            if (c == '%') {
                section.percent = true;
            }
            literal(text.substr(i, 1));
        }
    }
    return section;
}

// The decimal digits of x (finite, not negative) rounded to a number of places, ties to
// even: the integer digits without leading zeros, and exactly that many fraction digits.
struct DecimalDigits {
    std::string integer;
    std::string fraction;
};

DecimalDigits DecimalDigitsOf(double x, int places) {
    // The C library gives the exact decimal expansion, rounded to nearest, ties to even;
    // beyond 1,100 places a double has only zeros.
    const int written = places < 1100 ? places : 1100;
    // Room for a sign, the largest double's 309 integer digits, the point and every place.
    std::array<char, 1 + 309 + 1 + 1100 + 1 + 1> text{};
    const int length = std::snprintf(text.data(), text.size(), "%.*f", written, x);
    const std::size_t used = length < 0 ? 0 : std::min<std::size_t>(length, text.size() - 1);
    const std::string digits(text.data(), used);
    const std::size_t dot = digits.find_first_of(".,");
    DecimalDigits decimal{digits.substr(0, dot),
                          dot == std::string::npos ? std::string() : digits.substr(dot + 1)};
    decimal.integer.erase(0, decimal.integer.find_first_not_of('0'));
    decimal.fraction.resize(static_cast<std::size_t>(places), '0');
    return decimal;
}

// The integer digits as the section shows them: at least its minimum count, grouped in
// thousands by "," when it asks for that.
std::string ShownInteger(std::string integer, const MaskSection& section) {
    if (integer.size() < static_cast<std::size_t>(section.minimumDigits)) {
        integer.insert(0, section.minimumDigits - integer.size(), '0');
    }
    if (section.grouping) {
        for (std::size_t at = integer.size(); at > 3; at -= 3) {
            integer.insert(at - 3, 1, ',');
        }
    }
    return integer;
}

// Integer digits fill their placeholders from the right; the leftmost placeholder takes
// all that remain, so no digit is ever lost. Without integer placeholders the integer
// digits go before the point.
void PlaceInteger(const MaskSection& section, std::string integer,
                  std::vector<std::string>& pieces) {
    int left = section.placeholders;
    std::size_t pointAt = section.items.size();
    for (std::size_t i = section.items.size(); i-- > 0;) {
        const MaskItem& item = section.items[i];
        if (item.kind == MaskItem::Point) {
            pointAt = i;
        }
        if (item.kind != MaskItem::Digit || item.fraction) {
            continue;
        }
        if (--left == 0) {
            pieces[i] = integer;
            integer.clear();
            continue;
        }
        if (integer.empty()) {
            continue;
        }
        pieces[i] = integer.back();
        integer.pop_back();
        if (!integer.empty() && integer.back() == ',') {
            pieces[i].insert(0, 1, ',');
            integer.pop_back();
        }
    }
    if (pointAt < section.items.size()) {
        pieces[pointAt] = integer + ".";
    }
}

// Fraction digits fill their places from the left, but trailing "#" places whose digit is
// 0 are left out.
void PlaceFraction(const MaskSection& section, const std::string& fraction,
                   std::vector<std::string>& pieces) {
    std::size_t keep = fraction.size();
    for (std::size_t i = section.items.size(); i-- > 0 && keep > 0;) {
        const MaskItem& item = section.items[i];
        if (item.kind != MaskItem::Digit || !item.fraction) {
            continue;
        }
        if (item.placeholder != '#' || fraction[keep - 1] != '0') {
            break;
        }
        --keep;
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < section.items.size(); ++i) {
        const MaskItem& item = section.items[i];
        if (item.kind == MaskItem::Digit && item.fraction && next++ < keep) {
            pieces[i] = fraction[next - 1];
        }
    }
}

// x (finite, not negative) in a parsed section: each mask item becomes a piece of text.
std::string FormatSection(const MaskSection& section, double x, bool& shownAsZero) {
    const DecimalDigits digits = DecimalDigitsOf(x, section.fractionDigits);
    shownAsZero =
        digits.integer.empty() && digits.fraction.find_first_not_of('0') == std::string::npos;
    std::vector<std::string> pieces(section.items.size());
    PlaceInteger(section, ShownInteger(digits.integer, section), pieces);
    PlaceFraction(section, digits.fraction, pieces);
    std::string result;
    for (std::size_t i = 0; i < section.items.size(); ++i) {
        result += section.items[i].kind == MaskItem::Literal ? section.items[i].text : pieces[i];
    }
    return result;
}

std::string FormatWithMask(double x, std::string_view mask) {
    if (!std::isfinite(x) || mask.empty()) {
        const GeneralText text = MakeGeneralText(x, "");
        return std::string(text.bytes, text.length);
    }
    const std::vector<std::string> sections = SplitSections(mask);
    // A negative value in its own section shows no sign: the section's literals say it.
    std::size_t chosen = 0;
    if (x < 0 && sections.size() > 1 && !sections[1].empty()) {
        chosen = 1;
    } else if (x == 0 && sections.size() > 2 && !sections[2].empty()) {
        chosen = 2;
    }
    MaskSection section = ParseSection(sections[chosen]);
    double value = std::fabs(x);
    if (section.percent) {
        value *= 100;
    }
    bool shownAsZero = true;
    std::string text = FormatSection(section, value, shownAsZero);
    if (x < 0 && chosen == 0 && !shownAsZero) {
        text.insert(0, 1, '-');
    }
    return text;
}

} // namespace

DynString FormatNumber(double x, const DynString& mask) noexcept {
    try {
        return FromStd(FormatWithMask(x, mask.View()));
    } catch (...) {
        SetErrorNumber(Err::OutOfMemory);
        return {};
    }
}

double MinOf(double a, double b) noexcept {
    return b < a ? b : a;
}

double MaxOf(double a, double b) noexcept {
    return b < a ? a : b;
}

std::int32_t RgbColor(std::int32_t red, std::int32_t green, std::int32_t blue) noexcept {
    auto clamp = [](std::int32_t component) {
        return component < 0 ? 0 : component > 255 ? 255 : component;
    };
    return clamp(red) + 256 * clamp(green) + 65536 * clamp(blue);
}

std::int64_t RoundToInteger(double x) noexcept {
    // Values with no 64-bit integer give the "integer indefinite" value of the hardware
    // conversion, the smallest integer, instead of undefined behaviour.
    constexpr double kLimit = 9223372036854775808.0; // 2^63
    if (!(x >= -kLimit && x < kLimit)) {
        return INT64_MIN;
    }
    double rounded = std::floor(x);
    const double fraction = x - rounded; // exact for doubles
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
        rounded += 1.0;
    }
    if (rounded >= kLimit) {
        return INT64_MIN;
    }
    return static_cast<std::int64_t>(rounded);
}

std::int32_t RoundToInt32(double x) noexcept {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(RoundToInteger(x))));
}
