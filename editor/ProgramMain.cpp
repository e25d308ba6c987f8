#include "editor/ProgramMain.h"

#include "dialogs/DialogEngine.h"
#include "dialogs/KeyboardHook.h"
#include "dialogs/OpenFileDialog.h"
#include "editor/EditorWindow.h"
#include "editor/KeyProcessing.h"
#include "editor/LoadMessages.h"
#include "editor/LoadProgress.h"
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "runtime/MessageBox.h"
#include "runtime/Startup.h"
#include "runtime/StringFunctions.h"

namespace {

constexpr std::int32_t kLoadButtonId = 100;
constexpr std::int32_t kStartDialogStyle = 0x00C80000; // WS_CAPTION | WS_SYSMENU
static_assert(kStartDialogStyle == (WS_CAPTION | WS_SYSMENU));

// One editor run: choose a file, load it, edit it in the maximized editor window until it
// ends, then show the line picked with Enter.
void RunEditor() {
    fileName = RequestFileName(startDialog);
    if (fileName.IsEmpty()) {
        return;
    }
    // A second run started from the start dialog inside this one would take over the
    // editor's kept window, or pile a new run on each waiting message box until the stack
    // runs out, so the start dialog waits from the load until the editor and the box have
    // both ended.
    EnableWindow(startDialog, FALSE);
    LoadOutcome outcome{};
    {
        const LoadProgressWindow progress(startDialog, fileName);
        outcome = LoadTextFile(fileName, LoadProgressWindow::Report);
    }
    if (outcome.result != LoadResult::Loaded) {
        if (const DynString text = LoadFailureText(outcome, fileName); !text.IsEmpty()) {
            ShowMessage(text, MB_OK | MB_ICONEXCLAMATION, DynString());
        }
        EnableWindow(startDialog, TRUE);
        SetForegroundWindow(startDialog);
        return;
    }

    editorDialog = NewEditorWindow();
    std::int32_t scanCode = 0;
    DynString keyChar;
    ProcessEditorKey(scanCode, keyChar, LineArray, editorDialog, kEditorCanvasId, kEditorFontSize);

    ShowDialogModal(editorDialog, EditorDialogCallback, nullptr);
    if (CompareStrings(selectedLine, DynString()) > 0) {
        ShowMessage(selectedLine, MB_OK, DynString());
    }
    EnableWindow(startDialog, TRUE);
    SetForegroundWindow(startDialog);
}

} // namespace

std::int32_t StartDialogCallback(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) {
        return 0;
    }
    switch (LOWORD(wParam)) {
    case kLoadButtonId:
        RunEditor();
        break;
    case IDCANCEL:
        EndDialogWith(startDialog, 0);
        break;
    default:
        break;
    }
    return 0;
}

std::int32_t ProgramMain(HINSTANCE, HINSTANCE, const char*, std::int32_t) {
    SetKeyTarget(EditorKeyTarget);
    startDialog = NewDialog(nullptr, "Test", kCentred, kCentred, 400, 100, kStartDialogStyle, 0,
                            kUnitsPixels);
    AddControl(startDialog, kKindButton, kLoadButtonId, "Load file", 5, 5, 160, 20, 0, 0, nullptr,
               nullptr);
    ShowDialogModal(startDialog, StartDialogCallback, nullptr);
    return 0;
}

void ReleaseProgramGlobals() noexcept {
    ResetProgramState();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RuntimeStartup();
}
