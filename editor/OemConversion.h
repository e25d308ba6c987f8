// Loaded lines are taken to be in the OEM code page and shown in the ANSI code page.
#pragma once

#include <cstdint>

// Converts the length bytes (followed by a NUL) in place from the OEM to the ANSI code
// page, up to the first NUL; the bytes after it stay as they are.
void ConvertOemToAnsi(char* bytes, std::uint32_t length) noexcept;
