// A small Windows tool for the end-to-end tests: it looks at the program's windows from
// outside, the way a user's eyes would, and answers on standard output.
//
//   probe message <caption> <ms>   waits for a message box, prints its text, presses OK
//   probe absent <caption> <ms>    succeeds when no such message box appears in time
//   probe capture <title-prefix> <file.bmp>
//                                  saves the client area of that top-level window as seen
//                                  on the screen, as a 24-bit BMP
//   probe screen <file.bmp>        saves the whole screen the same way
#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

HWND FindMessageBox(const char* caption) { return FindWindowA("#32770", caption); }

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

struct TitleSearch {
    const char* prefix;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TitleSearch*>(parameter);
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    if (std::strncmp(title, search->prefix, std::strlen(search->prefix)) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Saves a rectangle of the screen as a bottom-up 24-bit BMP file.
int SaveScreenRectangle(int left, int top, int width, int height, const char* path) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    int result = 1;
    if (FILE* out = std::fopen(path, "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, size, out);
        std::fclose(out);
        result = 0;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

int Capture(const char* prefix, const char* path) {
    TitleSearch search{prefix, nullptr};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        std::fprintf(stderr, "no window titled \"%s...\"\n", prefix);
        return 1;
    }
    RECT client{};
    GetClientRect(search.found, &client);
    POINT origin{0, 0};
    ClientToScreen(search.found, &origin);
    return SaveScreenRectangle(origin.x, origin.y, client.right, client.bottom, path);
}

int Screen(const char* path) {
    return SaveScreenRectangle(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                               path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "message") == 0)
        return Message(argv[2], static_cast<DWORD>(std::atol(argv[3])));
    if (argc == 4 && std::strcmp(argv[1], "absent") == 0)
        return Absent(argv[2], static_cast<DWORD>(std::atol(argv[3])));
    if (argc == 4 && std::strcmp(argv[1], "capture") == 0)
        return Capture(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "screen") == 0)
        return Screen(argv[2]);
    std::fprintf(stderr, "usage: probe message|absent <caption> <ms> | capture <title> <file>\n");
    return 2;
}
