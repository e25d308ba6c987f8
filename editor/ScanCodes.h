// Scan codes as the keyboard hook hands them to the editor: without the extended-key bit,
// so that the keypad keys share them, and negated while the left Control key is held.
#pragma once

#include <cstdint>

namespace scan {
constexpr std::int32_t Esc = 1;
constexpr std::int32_t Backspace = 14;
constexpr std::int32_t Tab = 15;
constexpr std::int32_t Enter = 28;
constexpr std::int32_t LetterA = 30;
constexpr std::int32_t Space = 57;
constexpr std::int32_t F1 = 59;
constexpr std::int32_t Home = 71;
constexpr std::int32_t Up = 72;
constexpr std::int32_t PageUp = 73;
constexpr std::int32_t KeypadMinus = 74;
constexpr std::int32_t Left = 75;
constexpr std::int32_t Right = 77;
constexpr std::int32_t KeypadPlus = 78;
constexpr std::int32_t End = 79;
constexpr std::int32_t Down = 80;
constexpr std::int32_t PageDown = 81;
constexpr std::int32_t Insert = 82;
constexpr std::int32_t Delete = 83;
// With the left Control key held.
constexpr std::int32_t ZoomOut = -KeypadMinus;
constexpr std::int32_t ZoomIn = -KeypadPlus;
} // namespace scan
