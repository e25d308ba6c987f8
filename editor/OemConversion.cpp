#include "editor/OemConversion.h"

#include "platform/Platform.h"
#include "runtime/SixteenBytes.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// Where the OEM code page has one byte per character, every byte converts on its own, so
// the platform's answer for each of the 256 bytes, asked once, converts any line.
struct OemTable {
    bool singleByte = false;
    bool keepsAscii = false; // bytes below 0x80 stay as they are
    unsigned char ansi[256] = {};
};

OemTable BuildTable() noexcept {
    OemTable table;
    CPINFO info{};
    if (!GetCPInfo(CP_OEMCP, &info) || info.MaxCharSize != 1) {
        return table;
    }
    char oem[256];
    for (int byte = 0; byte < 256; ++byte) {
        oem[byte] = static_cast<char>(byte);
    }
    table.singleByte = OemToCharBuffA(oem, reinterpret_cast<char*>(table.ansi), 256) != FALSE;
    table.keepsAscii = true;
    for (int byte = 0; byte < 0x80; ++byte) {
        table.keepsAscii = table.keepsAscii && table.ansi[byte] == byte;
    }
    return table;
}

} // namespace

void ConvertOemToAnsi(char* bytes, std::uint32_t length) noexcept {
    static const OemTable table = BuildTable();
    if (!table.singleByte) {
        OemToCharA(bytes, bytes);
        return;
    }
    auto* byte = reinterpret_cast<unsigned char*>(bytes);
    if (!table.keepsAscii || length < 16) {
        for (const unsigned char* end = byte + length; byte < end && *byte != 0; ++byte) {
            *byte = table.ansi[*byte];
        }
        return;
    }
    // Most text is ASCII, which stays as it is: up to 64 bytes at a time are looked at for
    // a NUL or a byte above 0x7F, and only those are visited, in order, up to the NUL.
    std::uint32_t at = 0;
    while (at < length) {
        const std::uint32_t base = at;
        std::uint64_t special = 0;
        for (int block = 0; block < 4 && at < length; ++block) {
            if (length - at >= 16) {
                special |= std::uint64_t{BytesNulOrAbove7F(byte + at)} << (at - base);
                at += 16;
            } else {
                // The last sixteen bytes, less those already looked at.
                const std::uint32_t last = length - 16;
                special |= std::uint64_t{BytesNulOrAbove7F(byte + last) >> (at - last)}
                           << (at - base);
                at = length;
            }
        }
        for (; special != 0; special &= special - 1) {
            unsigned char& visited = byte[base + std::countr_zero(special)];
            if (visited == 0) {
                return;
            }
            visited = table.ansi[visited];
        }
    }
}
