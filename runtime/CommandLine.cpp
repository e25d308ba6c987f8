#include "runtime/CommandLine.h"

const char* SkipProgramName(const char* commandLine) noexcept {
    if (commandLine == nullptr) {
        return "";
    }
    const char* at = commandLine;
    if (*at == '"') {
        ++at;
        while (*at != '\0' && *at != '"') {
            ++at;
        }
        if (*at == '\0') {
            return at; // no closing quote: nothing is taken for arguments
        }
        ++at;
    } else {
        while (static_cast<unsigned char>(*at) > 0x20) {
            ++at;
        }
    }
    while (*at == ' ') {
        ++at;
    }
    return at;
}
