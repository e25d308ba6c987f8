// Key latency of the editor window: the window built as the program builds it (a canvas
// over the whole work area), a large text loaded, and ProcessEditorKey called directly for
// Down, Right, a typed letter and Page Down, each call timed with the performance counter
// (the full redraw and the screen update included). After each key the same screen is drawn
// once more with bare GDI calls (the floor, GdiFloor.h), so that every figure has its floor
// from the same moment beside it. The window runs modally, as in the program; the events run
// from a thread timer inside its loop, in five rounds, whose figures give each figure's
// spread. Every key starts from the top left of the text, so that no key is timed on the
// empty screen that an earlier one left (Right's presses scroll past the ends of the lines).
//
// Targets: the median at most RATIO times the floor's, the 99th percentile at most RATIO
// times the floor's or at most MS milliseconds.
//
//   key_latency_bench PATH [--events N] [--median RATIO] [--p99 RATIO] [--p99-ms MS]
#include "bench/BenchReport.h"
#include "bench/GdiFloor.h"
#include "canvas/Canvas.h"
#include "dialogs/ControlServices.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/WindowRecord.h"
#include "editor/EditorWindow.h"
#include "editor/KeyProcessing.h"
#include "editor/ProgramState.h"
#include "editor/ScanCodes.h"
#include "editor/ScreenDrawing.h"
#include "editor/TextLoading.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

constexpr int kRounds = 5;

int events = 1000;
double medianTarget = 1.3;  // times the floor's median
double p99Target = 0;       // times the floor's p99; 0: none
double p99Milliseconds = 0; // 0: none
GdiFloor* floorScreen = nullptr;

// Lets the window handle what the last key left queued (painting), as the loop would.
void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double Percentile(std::vector<double>& values, std::size_t percent) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * percent / 100)];
}

// A percentile of all the times, and its range over the rounds.
struct Figure {
    double all;
    double lowest;
    double highest;
};

Figure FigureOf(const std::vector<std::vector<double>>& rounds, std::size_t percent) {
    std::vector<double> all;
    Figure figure{0, 0, 0};
    for (std::size_t round = 0; round < rounds.size(); ++round) {
        std::vector<double> times = rounds[round];
        const double value = Percentile(times, percent);
        figure.lowest = round == 0 ? value : std::min(figure.lowest, value);
        figure.highest = round == 0 ? value : std::max(figure.highest, value);
        all.insert(all.end(), times.begin(), times.end());
    }
    figure.all = Percentile(all, percent);
    return figure;
}

std::string Text(const Figure& figure) {
    return Fixed(figure.all, 2) + " (" + Fixed(figure.lowest, 2) + "-" + Fixed(figure.highest, 2) +
           ")";
}

std::string Targets() {
    std::string text = "median <= " + Fixed(medianTarget, 1) + "x floor";
    if (p99Target > 0) {
        text += ", p99 <= " + Fixed(p99Target, 1) + "x floor";
    }
    if (p99Milliseconds > 0) {
        text += ", p99 <= " + Fixed(p99Milliseconds, 1) + " ms";
    }
    return text;
}

// Home twice: the first column, then the first line, as a person returns to the start.
void ReturnToStart() {
    for (int i = 0; i < 2; ++i) {
        std::int32_t scanCode = scan::Home;
        DynString keyChar;
        ProcessEditorKey(scanCode, keyChar, LineArray, nullptr, 0, 0);
        Pump();
    }
}

void TimeKey(const KeyCase& key, const std::string& size) {
    ReturnToStart();
    std::vector<std::vector<double>> ours(kRounds);
    std::vector<std::vector<double>> floor(kRounds);
    const HWND canvas = GetDlgItem(editorDialog, kEditorCanvasId);
    for (int i = 0; i < events; ++i) {
        const int round = i * kRounds / events;
        std::int32_t scanCode = key.scanCode;
        DynString keyChar(&key.character, 1);
        double start = NowSeconds();
        ProcessEditorKey(scanCode, keyChar, LineArray, nullptr, 0, 0);
        ours[round].push_back((NowSeconds() - start) * 1000);
        Pump();
        const ViewState view{GetControlUser(canvas, 1), GetControlUser(canvas, 2),
                             GetControlUser(canvas, 3), GetControlUser(canvas, 4)};
        start = NowSeconds();
        floorScreen->Draw(LineArray, view, insertMode == 1);
        floor[round].push_back((NowSeconds() - start) * 1000);
        Pump();
    }
    const Figure median = FigureOf(ours, 50);
    const Figure p99 = FigureOf(ours, 99);
    const Figure floorMedian = FigureOf(floor, 50);
    const Figure floorP99 = FigureOf(floor, 99);
    const double medianRatio = median.all / floorMedian.all;
    const double p99Ratio = p99.all / floorP99.all;
    const bool met = medianRatio <= medianTarget && (p99Target <= 0 || p99Ratio <= p99Target) &&
                     (p99Milliseconds <= 0 || p99.all <= p99Milliseconds);
    ReportRow("Key " + std::string(key.name) + " at " + size + ", median / p99 of " +
                  std::to_string(events) + " (range of " + std::to_string(kRounds) + " rounds)",
              Text(median) + " / " + Text(p99) + " ms; GDI floor " + Text(floorMedian) + " / " +
                  Text(floorP99) + " ms; " + Fixed(medianRatio, 2) + "x / " + Fixed(p99Ratio, 2) +
                  "x",
              Targets(), met);
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
    // Held, not drawn: the snapshot written next replaces it.
    time("clearing the canvas (held for the snapshot)", [] { CanvasClear(0xFFFFFF, 0); });
    time("restoring the background snapshot", [] { CanvasSetPixels(backgroundBits); });
    // The text, the guide lines and the cursor cell of the view the keys left.
    const HWND canvas = GetDlgItem(editorDialog, kEditorCanvasId);
    const ViewState view{GetControlUser(canvas, 1), GetControlUser(canvas, 2),
                         GetControlUser(canvas, 3), GetControlUser(canvas, 4)};
    ScreenMetrics metrics{};
    metrics.canvasWidth = width;
    metrics.canvasHeight = height;
    CanvasGetVisibleSize(metrics.visibleWidth, metrics.visibleHeight);
    time("selecting and measuring the font", [&] { SelectTextFont(kEditorFontSize, metrics); });
    time("the rows, guide lines and cursor cell (DrawVisibleText)",
         [&] { DrawVisibleText(LineArray, view, metrics); });
    time("the screen update (CanvasRedraw)", [] { CanvasRedraw(); });
    char caption[256] = {};
    GetWindowTextA(editorDialog, caption, sizeof caption);
    const DynString titles[2] = {DynString(caption), DynString(std::string(caption) + " ")};
    int next = 0;
    time("the status title (SetWindowCaption)",
         [&] { SetWindowCaption(editorDialog, titles[next++ % 2]); });
    // The floor's own steps, on the same view.
    time("GDI floor: fill", [] { floorScreen->Fill(); });
    time("GDI floor: picture (BitBlt)", [] { floorScreen->Picture(); });
    time("GDI floor: rows (TextOutA)", [&] { floorScreen->Rows(LineArray, view); });
    time("GDI floor: guide lines and cursor cell", [&] {
        floorScreen->Guides(view);
        floorScreen->CursorCell(LineArray, view, insertMode == 1);
    });
    time("GDI floor: one BitBlt to the control", [] { floorScreen->Show(); });
}

// The floor must draw what the editor draws: the last key's screen, pixel by pixel.
void ComparePixels() {
    CanvasAttach(editorDialog, kEditorCanvasId, kCanvasDeferredRedraw);
    const DynString ours = CanvasGetPixels();
    const DynString floor = floorScreen->Pixels();
    std::size_t differing = 0;
    for (std::size_t i = 8; ours.Length() == floor.Length() && i + 4 <= ours.Length(); i += 4) {
        if (std::memcmp(ours.Bytes() + i, floor.Bytes() + i, 3) != 0) {
            ++differing;
        }
    }
    ReportRow("  pixels of the GDI floor's last screen that differ from the editor's",
              ours.Length() == floor.Length() && ours.Length() > 8 ? std::to_string(differing)
                                                                   : "no screen to compare");
}

void CALLBACK RunEvents(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RECT canvas{};
    GetClientRect(GetDlgItem(editorDialog, kEditorCanvasId), &canvas);
    const std::string size = std::to_string(canvas.right) + " x " + std::to_string(canvas.bottom);
    ReportRow("  canvas of the key latency runs", size + " px");
    for (const KeyCase& key : kCases) {
        TimeKey(key, size);
    }
    ComparePixels();
    TimeSteps();
    EndDialogWith(editorDialog, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: key_latency_bench PATH [--events N] [--median RATIO] [--p99 RATIO] "
                     "[--p99-ms MS]\n");
        return 2;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--events") {
            events = std::max(kRounds, std::atoi(argv[i + 1]));
        } else if (flag == "--median") {
            medianTarget = std::atof(argv[i + 1]);
        } else if (flag == "--p99") {
            p99Target = std::atof(argv[i + 1]);
        } else if (flag == "--p99-ms") {
            p99Milliseconds = std::atof(argv[i + 1]);
        }
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

    // The rows and columns the editor shows, by its own rule.
    ScreenMetrics metrics{};
    CanvasAttach(editorDialog, kEditorCanvasId, kCanvasDeferredRedraw);
    CanvasGetSize(metrics.canvasWidth, metrics.canvasHeight);
    CanvasGetVisibleSize(metrics.visibleWidth, metrics.visibleHeight);
    SelectTextFont(kEditorFontSize, metrics);
    GdiFloor floor(GetDlgItem(editorDialog, kEditorCanvasId), backgroundBits, kEditorFontSize,
                   metrics.visibleRows, metrics.visibleColumns);
    if (!floor.Ready()) {
        std::fprintf(stderr, "the GDI floor could not be set up\n");
        return 1;
    }
    floorScreen = &floor;
    SetTimer(nullptr, 0, 50, RunEvents);
    ShowDialogModal(editorDialog, nullptr, nullptr);
    ArrayErase(LineArray);
    return 0;
}
