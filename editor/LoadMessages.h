// What the person is told when a load cannot give the whole text.
#pragma once

#include "editor/TextLoading.h"
#include "runtime/DynString.h"

// The message, in Italian, naming the file and the reason; "" for a load that ended whole
// or was stopped by the person.
DynString LoadFailureText(const LoadOutcome& outcome, const DynString& name) noexcept;
