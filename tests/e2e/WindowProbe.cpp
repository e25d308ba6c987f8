// A small Windows tool for the end-to-end tests: it looks at the program's windows from
// outside, the way a user's eyes would, and answers on standard output.
//
//   probe message <caption> <ms>   waits for a message box, prints its text, presses OK
//   probe absent <caption> <ms>    succeeds when no such message box appears in time
#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

HWND FindMessageBox(const char* caption) {
    return FindWindowA("#32770", caption);
}

HWND WaitForMessageBox(const char* caption, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND box = FindMessageBox(caption))
            return box;
        if (GetTickCount() - start > milliseconds)
            return nullptr;
        Sleep(20);
    }
}

int Message(const char* caption, DWORD milliseconds) {
    HWND box = WaitForMessageBox(caption, milliseconds);
    if (box == nullptr) {
        std::fprintf(stderr, "no message box \"%s\"\n", caption);
        return 1;
    }
    // Message box texts are at most a few thousand bytes; the buffer takes any line.
    std::vector<char> text(1 << 20);
    GetDlgItemTextA(box, 0xFFFF, text.data(), static_cast<int>(text.size()));
    std::fwrite(text.data(), 1, std::strlen(text.data()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    HWND ok = GetDlgItem(box, IDOK);
    if (ok != nullptr)
        SendMessageA(ok, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

int Absent(const char* caption, DWORD milliseconds) {
    return WaitForMessageBox(caption, milliseconds) == nullptr ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "message") == 0)
        return Message(argv[2], static_cast<DWORD>(std::atol(argv[3])));
    if (argc == 4 && std::strcmp(argv[1], "absent") == 0)
        return Absent(argv[2], static_cast<DWORD>(std::atol(argv[3])));
    std::fprintf(stderr, "usage: probe message|absent <caption> <ms>\n");
    return 2;
}
