// Number and string conversion: decimal text of numbers, the number at the start of a
// text, mask formatting, and the conversions of working values to integers.
//
// Working values are doubles; conversion to an integer rounds to nearest, ties to even.
#pragma once

#include "runtime/DynString.h"

#include <cstdint>

// A space before zero and positive values, "-" before negative ones, then the digits
// (at most 15 significant ones for integers): 12 gives " 12", -7 gives "-7".
DynString NumberText(double x) noexcept;

// The longest leading decimal number of s (after spaces, TABs and LFs), or 0:
// "9 Alfabetizzo dal cursore" gives 9, "  -12.5e1x" gives -125.
double NumberFromText(const DynString& s) noexcept;

// x formatted by a mask of literal parts and digit placeholders, e.g. the mask
// "V: "0 (with the quotes) gives 'V: 12' for 12. Recognised: "0" and "#" digits, one
// ".", "," grouping thousands, "%", quoted text, "\" escapes and up to three sections
// split by ";" (positive, negative, zero). Other characters, "*" and "E" included, are
// copied as they stand. An empty mask gives the number's general text.
DynString FormatNumber(double x, const DynString& mask) noexcept;

// b if b < a, else a; and a if b < a, else b.
double MinOf(double a, double b) noexcept;
double MaxOf(double a, double b) noexcept;

// Components clamped to 0..255, packed as 0x00BBGGRR.
std::int32_t RgbColor(std::int32_t red, std::int32_t green, std::int32_t blue) noexcept;

// Rounds to the nearest integer, a tie going to the even neighbour (2.5 gives 2).
std::int64_t RoundToInteger(double x) noexcept;
// The same, keeping the low 32 bits.
std::int32_t RoundToInt32(double x) noexcept;
