// A small Windows tool for the end-to-end tests: it looks at the program's windows from
// outside, the way a user's eyes would, and answers on standard output.
//
//   probe message <caption> <ms>   waits for a message box, prints its text, presses OK
//   probe window <caption> <id>    prints a top-level window's frame, client size, the
//                                  work area, whether it is enabled, where its close box
//                                  is and the text and client rectangle of control id
//   probe version <file>           prints what a file's properties show of its version
//                                  resource: language, product name and version, and
//                                  description
#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Visible, so that its text is set and its button takes a click: the box is made hidden.
HWND FindMessageBox(const char* caption) {
    HWND box = FindWindowA("#32770", caption);
    return box != nullptr && IsWindowVisible(box) ? box : nullptr;
}

HWND WaitForMessageBox(const char* caption, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND box = FindMessageBox(caption)) {
            return box;
        }
        if (GetTickCount() - start > milliseconds) {
            return nullptr;
        }
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
    if (ok != nullptr) {
        SendMessageA(ok, BM_CLICK, 0, 0);
    } else {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

int Window(const char* caption, int id) {
    HWND window = FindWindowA(nullptr, caption);
    if (window == nullptr) {
        std::fprintf(stderr, "no window \"%s\"\n", caption);
        return 1;
    }
    RECT frame{};
    RECT client{};
    RECT work{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    std::printf("frame %ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    std::printf("work %ld %ld %ld %ld\n", work.left, work.top, work.right, work.bottom);
    std::printf("enabled %d\n", IsWindowEnabled(window) ? 1 : 0);
    // The close box: the run of the caption's middle row that the window calls HTCLOSE.
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int row = origin.y - GetSystemMetrics(SM_CYCAPTION) / 2;
    long first = -1;
    long last = -1;
    for (long x = frame.right - 1; x >= frame.left; --x) {
        const LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, row));
        if (hit == HTCLOSE) {
            last = last < 0 ? x : last;
            first = x;
        } else if (last >= 0) {
            break;
        }
    }
    if (first >= 0) {
        std::printf("close %ld %d\n", (first + last) / 2, row);
    }
    if (HWND control = GetDlgItem(window, id)) {
        char text[256] = "";
        GetWindowTextA(control, text, sizeof text);
        RECT area{};
        GetWindowRect(control, &area);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
        std::printf("control %s|%ld %ld %ld %ld\n", text, area.left, area.top,
                    area.right - area.left, area.bottom - area.top);
    }
    std::fflush(stdout);
    return 0;
}

int Version(const char* path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(path, 0, size, block.data())) {
        std::fprintf(stderr, "no version resource in %s\n", path);
        return 1;
    }
    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &found, &length) ||
        length < sizeof(Translation)) {
        std::fprintf(stderr, "no translation in %s\n", path);
        return 1;
    }
    // The strings of the first translation, as the file's properties show them.
    const Translation translation = *static_cast<const Translation*>(found);
    std::printf("language %04x %u\n", translation.language, translation.codePage);
    for (const char* name : {"ProductName", "ProductVersion", "FileDescription"}) {
        char key[80];
        std::snprintf(key, sizeof key, "\\StringFileInfo\\%04X%04X\\%s", translation.language,
                      translation.codePage, name);
        const bool known = VerQueryValueA(block.data(), key, &found, &length) && length > 0;
        std::printf("%s %s\n", name, known ? static_cast<const char*>(found) : "");
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "message") == 0) {
        return Message(argv[2], static_cast<DWORD>(std::atol(argv[3])));
    }
    if (argc == 4 && std::strcmp(argv[1], "window") == 0) {
        return Window(argv[2], std::atoi(argv[3]));
    }
    if (argc == 3 && std::strcmp(argv[1], "version") == 0) {
        return Version(argv[2]);
    }
    std::fprintf(stderr, "usage: probe message <caption> <ms> | window <caption> <id> | "
                         "version <file>\n");
    return 2;
}
