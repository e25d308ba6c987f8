#include "editor/OemConversion.h"

#include "platform/Platform.h"

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
    const void* nul = std::memchr(bytes, 0, length);
    const auto* end = nul != nullptr ? static_cast<const unsigned char*>(nul) : byte + length;
    // Most text is ASCII: eight such bytes at a time are left as they are.
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (; table.keepsAscii && end - byte >= 8; byte += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, byte, sizeof eight);
        if ((eight & kHighBits) == 0) {
            continue;
        }
        for (int i = 0; i < 8; ++i) {
            byte[i] = table.ansi[byte[i]];
        }
    }
    for (; byte < end; ++byte) {
        *byte = table.ansi[*byte];
    }
}
