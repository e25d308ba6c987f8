#include "tests/win/support/EditorWindow.h"

#include "canvas/CanvasControl.h"
#include "dialogs/DialogEngine.h"
#include "dialogs/KeyboardHook.h"
#include "dialogs/WindowRecord.h"
#include "editor/KeyProcessing.h"
#include "editor/ProgramState.h"
#include "runtime/StringArray.h"

namespace {
constexpr std::int32_t kEditorExStyle = 0x588; // topmost tool window with edge and help
constexpr std::int32_t kFontSize = 9;
} // namespace

EditorWindow::EditorWindow(int width, int height, const std::vector<std::string>& text) {
    ArrayRedim(LineArray, 0, static_cast<std::int32_t>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        LineArray[static_cast<std::int32_t>(i + 1)] = DynString(std::string_view(text[i]));
    }
    RegisterCanvasControl();
    // A smaller window than the program's maximized one keeps the tests quick; the
    // canvas is what is drawn on, whatever the window's size.
    window_ = NewDialog(nullptr, "Editor", kCentred, kCentred, width, height, 0, kEditorExStyle,
                        kUnitsPixels);
    AddControl(window_, kKindCanvas, kCanvasId, DynString(), 0, 0, width, height, 0, 0, nullptr,
               nullptr);
    editorDialog = window_;
    SetKeyTarget(EditorKeyTarget);
    std::int32_t scanCode = 0;
    DynString keyChar;
    ProcessEditorKey(scanCode, keyChar, LineArray, window_, kCanvasId, kFontSize);
}

EditorWindow::~EditorWindow() {
    if (IsWindow(window_)) {
        DestroyWindow(window_);
    }
    RemoveKeyboardHook();
    ArrayErase(LineArray);
}

void EditorWindow::RunModal() {
    ShowDialogModal(window_, EditorDialogCallback, nullptr);
}

std::vector<std::string> TextLines() {
    std::vector<std::string> lines;
    for (std::int32_t i = 1; i <= ArrayUpperBound(LineArray); ++i) {
        lines.emplace_back(LineArray[i].View());
    }
    return lines;
}
