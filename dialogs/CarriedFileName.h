// A file name that the ANSI functions can open.
#pragma once

#include "runtime/DynString.h"

// The name to open the named file of the folder by ("" for the current folder, otherwise
// ending in a backslash). The platform hands a name outside the ANSI code page over with
// "?" or a look-alike letter for each character the code page lacks, and that name opens
// nothing, or another file. When exactly one entry of the folder reads as the name and the
// name does not open that entry itself, its short name is answered; otherwise the name as
// it is (which then fails to open, or opens the one file it names).
DynString CarriedFileName(const DynString& folder, const DynString& name) noexcept;
