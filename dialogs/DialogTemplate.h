// The in-memory templates that dialogs are created from: the standard layout without
// items. Its strings are UTF-16 even for the ANSI calls, and it must be DWORD-aligned.
#pragma once

#include "platform/Platform.h"
#include "runtime/DynString.h"

#include <array>
#include <cstdint>

constexpr std::uint32_t kMaxCaptionChars = 256;
constexpr std::uint32_t kMaxFaceBytes = 31;

// Large enough for the header, the longest caption and the longest face name.
struct DialogTemplate {
    alignas(DWORD) std::array<WORD, 320> words{};

    const DLGTEMPLATE* Get() const noexcept {
        return reinterpret_cast<const DLGTEMPLATE*>(words.data());
    }
};

// The window style of a new dialog: style 0 asks for a captioned pop-up with a modal frame;
// every dialog gets a 3-D look, a font from its template and no failure on missing
// controls; none is visible before it runs or system-modal; centred ones get DS_CENTER.
DWORD DialogStyle(std::int32_t style, bool centred) noexcept;

// Fills a template with no items. Caption bytes are widened one by one (no code page),
// cut to 256 characters; an empty caption becomes one space. face is NUL-terminated;
// at most 31 bytes of it are used.
void BuildDialogTemplate(DialogTemplate& dialogTemplate, DWORD style, DWORD exStyle, std::int16_t x,
                         std::int16_t y, std::int16_t width, std::int16_t height,
                         const DynString& caption, const char* face, std::uint8_t points) noexcept;
