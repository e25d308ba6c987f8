// The nine commands of the F1 menu, each over the whole text or at the cursor.
#pragma once

#include "runtime/StringArray.h"

#include <cstdint>

// Runs command 1 to 9 (any other number does nothing): 1 upper case, 2 lower case,
// 3 first letters upper case, 4 indent to the cursor, 5 remove the indent, 6 single spaces
// between words, 7 the date at the cursor, 8 the time at the cursor, 9 sort the lines from
// the cursor's line by the kShortSortKeyBytes bytes from the cursor's column. The cursor
// and the number of lines never change.
void RunTextOperation(std::int32_t operation, StringArray& lines, std::int32_t cursorLine,
                      std::int32_t textColumn, std::int32_t mode) noexcept;
