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

bool loading = false; // a load runs inside the start dialog's callback

// Loads the chosen file with its progress window. False when there is no text to edit:
// the load was stopped or failed (the reason shown in a message box), or the start dialog
// was closed, which has then been ended.
bool LoadChosenFile() {
    LoadOutcome outcome{};
    LoadStop stop = LoadStop::None;
    loading = true;
    {
        LoadProgressWindow progress(startDialog, fileName);
        outcome = LoadTextFile(fileName, LoadProgressWindow::Report);
        stop = progress.Finish();
    }
    loading = false;
    if (stop != LoadStop::None) {
        ArrayErase(LineArray); // a load that came out whole as it was stopped goes too
        if (stop == LoadStop::OwnerClosed) {
            EndDialogWith(startDialog, 0);
        }
        return false;
    }
    if (outcome.result == LoadResult::Loaded) {
        return true;
    }
    if (const DynString text = LoadFailureText(outcome, fileName); !text.IsEmpty()) {
        EnableWindow(startDialog, FALSE);
        ShowMessage(text, MB_OK | MB_ICONEXCLAMATION, DynString());
        EnableWindow(startDialog, TRUE);
    }
    SetForegroundWindow(startDialog);
    return false;
}

// One editor run: choose a file, load it, edit it in the maximized editor window until it
// ends, then show the line picked with Enter.
void RunEditor() {
    // The first screen stretches the background picture of the text's folder, which is
    // often the current one; meanwhile the person chooses the text.
    if (backgroundBits.IsEmpty()) {
        PrepareEditorBackground();
    }
    fileName = RequestFileName(startDialog);
    if (fileName.IsEmpty() || !LoadChosenFile()) {
        return;
    }
    // A second run started from the start dialog inside this one would take over the
    // editor's kept window, or pile a new run on each waiting message box until the stack
    // runs out, so the start dialog waits until the editor and the box have both ended.
    // During the load it stays enabled, so that it can be closed; the load runs none of
    // its other input.
    EnableWindow(startDialog, FALSE);
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
    // Closed during a load (by the window manager's close box, say), the start dialog
    // stops the load and ends once the load has returned: answered here, the engine does
    // not destroy it under the load.
    if (loading && ((message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) ||
                    (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL))) {
        LoadProgressWindow::OwnerClosing();
        return 1;
    }
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
