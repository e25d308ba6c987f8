// The string functions. Positions are 1-based; every function works on bytes.
//
// Out-of-range positions and counts never fail: they give the results described at each
// function. Only storage exhaustion (error 7), a negative SpaceString count (error 7) and
// a ReplaceAll result too long for a signed 32-bit count (error 5) set an error number;
// the result is then "".
#pragma once

#include "runtime/DynString.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

// The largest count a caller can pass: "as many as there are".
constexpr std::int32_t kAllBytes = 2147483647;

std::uint32_t StringLength(const DynString& s) noexcept;

// The bytes of a followed by those of b.
DynString Concat(const DynString& a, const DynString& b) noexcept;

// Byte by byte as unsigned values; on a common beginning the shorter is smaller.
// Answers -1, 0 or 1.
int CompareStrings(const DynString& a, const DynString& b) noexcept;

// One byte per code, the code's low 8 bits; a code of -1 adds no byte.
DynString CharString(std::initializer_list<std::int32_t> codes) noexcept;

// count spaces; a negative count gives "" and error 7.
DynString SpaceString(std::int32_t count) noexcept;

// At most count bytes of s from position start. A negative count is taken from the
// length (n + count), and means no limit when still negative. Start 0 gives ""; a
// negative start counts from the end (-1 is the last byte).
DynString Substring(const DynString& s, std::int32_t start, std::int32_t count) noexcept;

// The last count bytes of s; a negative count is taken from the length.
DynString RightPart(const DynString& s, std::int32_t count) noexcept;

// Copies bytes of r over v from position start, at most count of them and never past
// v's end; v's length never changes.
void OverwriteAt(DynString& v, std::int32_t start, std::int32_t count, const DynString& r) noexcept;

// Letters: A-Z, a-z and seven upper/lower pairs of code page 437 accented letters.
bool IsCaseLetter(unsigned char byte) noexcept;
unsigned char UpperByte(unsigned char byte) noexcept;
unsigned char LowerByte(unsigned char byte) noexcept;
DynString ToUpper(const DynString& s) noexcept;
DynString ToLower(const DynString& s) noexcept;
// Every run of letters starts upper case and goes on lower case; any non-letter starts a run.
DynString ToProperCase(const DynString& s) noexcept;

DynString ReverseString(const DynString& s) noexcept;

// Without leading (trailing) bytes 0x20; other white space stays.
DynString TrimLeftSpaces(const DynString& s) noexcept;
DynString TrimRightSpaces(const DynString& s) noexcept;

// Position of m in s, or 0. A start of 1 or more finds the first occurrence that begins
// at or after start; a start of -1 or less finds the last one that ends at or before
// n + start + 1. An empty m is found at the start position itself.
std::int32_t FindSubstring(std::int32_t start, const DynString& s, const DynString& m) noexcept;

// The bytes of s from start up to (not including) the next m, or to the end.
DynString ExtractUntil(std::int32_t start, const DynString& s, const DynString& m) noexcept;

// s with every non-overlapping m, scanned from the left, replaced by r.
DynString ReplaceAll(const DynString& m, const DynString& r, const DynString& s) noexcept;

// The number of non-overlapping occurrences of d in s, plus 1. With an empty d, fields
// are separated by commas outside double-quoted parts.
std::int32_t FieldCount(const DynString& s, const DynString& d) noexcept;

// Where the field of text that starts at from ends: at the next delimiter, or with an
// empty delimiter at the next comma outside double-quoted parts; npos when the field runs
// to the end. The rule of FieldCount and SplitFields.
std::size_t FieldEnd(std::string_view text, std::size_t from, std::string_view delimiter) noexcept;
