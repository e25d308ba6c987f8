// Key latency of the editor window: the window built as the program builds it (a canvas
// over the whole work area), a large text loaded, and ProcessEditorKey called directly for
// Down, Right, a typed letter and Page Down, each call timed with the performance counter
// (the full redraw and the screen update included). The window runs modally, as in the
// program; the events run from a thread timer inside its loop.
//
//   key_latency_bench PATH [--events N] [--median MS] [--p99 MS]
#include "bench/BenchReport.h"
#include "canvas/Canvas.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/WindowRecord.h"
#include "editor/EditorWindow.h"
#include "editor/KeyProcessing.h"
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct KeyCase {
    const char* name;
    std::int32_t scanCode;
    char character;
};

const KeyCase kCases[] = {
    {"Down", 80, '\0'}, {"Right", 77, '\0'}, {"typed letter", 30, 'a'}, {"Page Down", 81, '\0'}};

int events = 1000;
double medianTarget = 4.0;
double p99Target = 8.0;

// Lets the window handle what the last key left queued (painting), as the loop would.
void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TimeKey(const KeyCase& key) {
    std::vector<double> milliseconds;
    milliseconds.reserve(static_cast<std::size_t>(events));
    for (int i = 0; i < events; ++i) {
        std::int32_t scanCode = key.scanCode;
        DynString keyChar(&key.character, 1);
        const double start = NowSeconds();
        ProcessEditorKey(scanCode, keyChar, LineArray, nullptr, 0, 0);
        milliseconds.push_back((NowSeconds() - start) * 1000);
        Pump();
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    const double median = milliseconds[milliseconds.size() / 2];
    const double p99 =
        milliseconds[std::min(milliseconds.size() - 1, milliseconds.size() * 99 / 100)];
    const bool met = median <= medianTarget && p99 <= p99Target;
    ReportRow(std::string("Key ") + key.name + ", median / p99 of " + std::to_string(events),
              Fixed(median, 2) + " / " + Fixed(p99, 2) + " ms",
              "<= " + Fixed(medianTarget, 0) + " / " + Fixed(p99Target, 0) + " ms", met);
}

// Where a key's time goes: the steps of one screen, each repeated on the editor's canvas.
void TimeSteps() {
    constexpr int kRepeats = 200;
    const auto median = [](std::vector<double>& values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const auto time = [&](const char* name, const auto& step) {
        std::vector<double> milliseconds;
        for (int i = 0; i < kRepeats; ++i) {
            const double start = NowSeconds();
            step();
            milliseconds.push_back((NowSeconds() - start) * 1000);
            Pump();
        }
        ReportRow(std::string("  of which ") + name + ", median",
                  Fixed(median(milliseconds), 2) + " ms");
    };
    CanvasAttach(editorDialog, kEditorCanvasId, kCanvasDeferredRedraw);
    double width = 0;
    double height = 0;
    CanvasGetSize(width, height);
    time("clearing the canvas", [] { CanvasClear(0xFFFFFF, 0); });
    time("restoring the background snapshot", [] { CanvasSetPixels(backgroundBits); });
    CanvasSetFont("courier new", kEditorFontSize, 0);
    double cellWidth = 0;
    double cellHeight = 0;
    CanvasGetCharSize(cellWidth, cellHeight);
    const auto rows = static_cast<std::int32_t>(height / cellHeight);
    const DynString row(std::string(static_cast<std::size_t>(width / cellWidth), 'x'));
    time("printing a screenful of rows", [&] {
        for (std::int32_t i = 0; i <= rows; ++i) {
            CanvasMoveTo(0, i * cellHeight);
            CanvasPrint(row);
        }
    });
    time("the screen update (CanvasRedraw)", [] { CanvasRedraw(); });
}

void CALLBACK RunEvents(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RECT canvas{};
    GetClientRect(GetDlgItem(editorDialog, kEditorCanvasId), &canvas);
    ReportRow("  canvas of the key latency runs",
              std::to_string(canvas.right) + " x " + std::to_string(canvas.bottom) + " px");
    for (const KeyCase& key : kCases)
        TimeKey(key);
    TimeSteps();
    EndDialogWith(editorDialog, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: key_latency_bench PATH [--events N] [--median MS] [--p99 MS]\n");
        return 2;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--events")
            events = std::max(1, std::atoi(argv[i + 1]));
        else if (flag == "--median")
            medianTarget = std::atof(argv[i + 1]);
        else if (flag == "--p99")
            p99Target = std::atof(argv[i + 1]);
    }
    LoadTextFile(DynString(argv[1]));
    if (ArrayUpperBound(LineArray) < 1) {
        std::fprintf(stderr, "%s: no lines loaded\n", argv[1]);
        return 1;
    }

    editorDialog = NewEditorWindow();
    std::int32_t scanCode = 0;
    DynString keyChar;
    const double start = NowSeconds();
    ProcessEditorKey(scanCode, keyChar, LineArray, editorDialog, kEditorCanvasId, kEditorFontSize);
    ReportRow("  first screen (picture, snapshot and text)",
              Fixed((NowSeconds() - start) * 1000, 1) + " ms");

    SetTimer(nullptr, 0, 50, RunEvents);
    ShowDialogModal(editorDialog, nullptr, nullptr);
    ArrayErase(LineArray);
    return 0;
}
