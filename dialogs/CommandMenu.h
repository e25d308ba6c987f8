// The editor's command menu: the nine text operations in a list.
#pragma once

#include <cstdint>

// 1 to 9 for the chosen item, 0 when the menu was cancelled.
std::int32_t ShowCommandMenu() noexcept;
