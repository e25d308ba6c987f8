#include "editor/OemConversion.h"

#include "platform/Platform.h"

namespace {

// Where the OEM code page has one byte per character, every byte converts on its own, so
// the platform's answer for each of the 256 bytes, asked once, converts any line.
struct OemTable {
    bool singleByte = false;
    unsigned char ansi[256] = {};
};

OemTable BuildTable() noexcept {
    OemTable table;
    CPINFO info{};
    if (!GetCPInfo(CP_OEMCP, &info) || info.MaxCharSize != 1)
        return table;
    char oem[256];
    for (int byte = 0; byte < 256; ++byte)
        oem[byte] = static_cast<char>(byte);
    table.singleByte = OemToCharBuffA(oem, reinterpret_cast<char*>(table.ansi), 256) != FALSE;
    return table;
}

} // namespace

void ConvertOemToAnsi(char* bytes) noexcept {
    static const OemTable table = BuildTable();
    if (!table.singleByte) {
        OemToCharA(bytes, bytes);
        return;
    }
    for (auto* byte = reinterpret_cast<unsigned char*>(bytes); *byte != 0; ++byte)
        *byte = table.ansi[*byte];
}
