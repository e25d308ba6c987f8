// The platform's open-file dialog.
#pragma once

#include "platform/WindowHandle.h"
#include "runtime/DynString.h"

#include <cstdint>

// Shows the dialog. "|" separates descriptions and patterns in filter. On return
// fileSpec holds the chosen full path ("" after a cancel) and flags the dialog's flags.
// Nonzero when a file was chosen.
std::int32_t OpenFileDialog(WindowHandle owner, const DynString& title, DynString& fileSpec,
                            const DynString& initialFolder, const DynString& filter,
                            const DynString& defaultExtension, std::uint32_t& flags) noexcept;

// The chosen file's name without its folder, A to Z in lower case, or "" when cancelled;
// the current folder is then the file's folder. A name outside the ANSI code page comes as
// the file's short name, which the ANSI functions can open (CarriedFileName.h). owner (the
// program's start dialog) owns the dialog while it shows.
DynString RequestFileName(WindowHandle owner) noexcept;
