// Marks of the road from the open-file dialog to the editor's first screen, for
// bench/first_screen.py: linked only into editor_marks.exe, a build of the program whose
// calls of these steps the linker hands to the wrappers below (--wrap, by the steps'
// symbol names). Each wrapper writes "MARK <step> <seconds>" to the standard error as its
// step begins or ends, on the clock of the performance counter. The program itself has no
// marks.
#include "editor/TextLoading.h"
#include "platform/Platform.h"
#include "platform/WindowHandle.h"
#include "runtime/DynString.h"
#include "runtime/StringArray.h"
#include "runtime/TextFile.h"

#include <cstdio>

namespace {

void Mark(const char* step) noexcept {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    std::fprintf(stderr, "MARK %s %.7f\n", step,
                 static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart));
    std::fflush(stderr);
}

} // namespace

DynString RealRequestFileName(WindowHandle owner) noexcept
    __asm__("__real__Z15RequestFileNameP6HWND__");
FileLineCountResult RealFileLineCount(FileNumber number, FileScanReport report,
                                      void* context) noexcept
    __asm__("__real__Z13FileLineCountsPDoFbyyPvES_");
LoadOutcome RealLoadTextFile(const DynString& name, LoadProgressReport report,
                             const LoadLimits& limits) noexcept
    __asm__("__real__Z12LoadTextFileRK9DynStringPDoFbyyERK10LoadLimits");
HWND RealNewEditorWindow() noexcept __asm__("__real__Z15NewEditorWindowv");
void RealCanvasDrawPicture(const DynString& name, double x1, double y1, double x2,
                           double y2) noexcept
    __asm__("__real__Z17CanvasDrawPictureRK9DynStringdddd");
void RealProcessEditorKey(std::int32_t& scanCode, DynString& keyChar, StringArray& lines,
                          WindowHandle window, std::int32_t canvasId,
                          std::int32_t fontSize) noexcept
    __asm__("__real__Z16ProcessEditorKeyRiR9DynStringR11StringArrayP6HWND__ii");

DynString WrapRequestFileName(WindowHandle owner) noexcept
    __asm__("__wrap__Z15RequestFileNameP6HWND__");
FileLineCountResult WrapFileLineCount(FileNumber number, FileScanReport report,
                                      void* context) noexcept
    __asm__("__wrap__Z13FileLineCountsPDoFbyyPvES_");
LoadOutcome WrapLoadTextFile(const DynString& name, LoadProgressReport report,
                             const LoadLimits& limits) noexcept
    __asm__("__wrap__Z12LoadTextFileRK9DynStringPDoFbyyERK10LoadLimits");
HWND WrapNewEditorWindow() noexcept __asm__("__wrap__Z15NewEditorWindowv");
void WrapCanvasDrawPicture(const DynString& name, double x1, double y1, double x2,
                           double y2) noexcept
    __asm__("__wrap__Z17CanvasDrawPictureRK9DynStringdddd");
void WrapProcessEditorKey(std::int32_t& scanCode, DynString& keyChar, StringArray& lines,
                          WindowHandle window, std::int32_t canvasId,
                          std::int32_t fontSize) noexcept
    __asm__("__wrap__Z16ProcessEditorKeyRiR9DynStringR11StringArrayP6HWND__ii");

DynString WrapRequestFileName(WindowHandle owner) noexcept {
    DynString name = RealRequestFileName(owner);
    Mark("dialog-closed");
    return name;
}

FileLineCountResult WrapFileLineCount(FileNumber number, FileScanReport report,
                                      void* context) noexcept {
    Mark("count-begins");
    const FileLineCountResult counted = RealFileLineCount(number, report, context);
    Mark("count-ends");
    return counted;
}

LoadOutcome WrapLoadTextFile(const DynString& name, LoadProgressReport report,
                             const LoadLimits& limits) noexcept {
    const LoadOutcome outcome = RealLoadTextFile(name, report, limits);
    Mark("load-ends");
    return outcome;
}

HWND WrapNewEditorWindow() noexcept {
    Mark("window-begins");
    HWND window = RealNewEditorWindow();
    Mark("window-ends");
    return window;
}

void WrapCanvasDrawPicture(const DynString& name, double x1, double y1, double x2,
                           double y2) noexcept {
    Mark("picture-begins");
    RealCanvasDrawPicture(name, x1, y1, x2, y2);
    Mark("picture-ends");
}

void WrapProcessEditorKey(std::int32_t& scanCode, DynString& keyChar, StringArray& lines,
                          WindowHandle window, std::int32_t canvasId,
                          std::int32_t fontSize) noexcept {
    RealProcessEditorKey(scanCode, keyChar, lines, window, canvasId, fontSize);
    Mark("key-ends");
}
