// Where the bytes of strings live. A string's storage is its 32-bit length, its bytes and a
// NUL; the store answers the address of the bytes.
//
// Short strings share 64 KiB chunks, one size class per 8 bytes of storage, with no header
// of their own: a loaded line costs its bytes plus 5 to 12 bytes here, against a heap block
// with its header and rounding per string. The chunks are carved out of areas of 64; a chunk
// whose strings are all gone goes back to its area, and an area whose chunks are all back
// goes back to the system. Longer strings get a block of the system's byte-string allocator
// each.
#pragma once

#include <cstdint>

// Storage for a string of length bytes (length >= 1), with the length and the NUL after the
// bytes in place and the bytes themselves not set; null when memory cannot be had.
char* StringStoreAllocate(std::uint32_t length) noexcept;
// Gives back what StringStoreAllocate answered.
void StringStoreFree(char* bytes) noexcept;
