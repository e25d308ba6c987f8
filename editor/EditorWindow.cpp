#include "editor/EditorWindow.h"

#include "dialogs/DialogEngine.h"
#include "runtime/MessageBox.h"

namespace {
constexpr std::int32_t kEditorStyle = 0x01000000; // WS_MAXIMIZE
constexpr std::int32_t kEditorExStyle = 0x588;    // topmost tool window with edge and help
} // namespace

HWND NewEditorWindow() noexcept {
    HWND window = NewDialog(nullptr, "Editor", kCentred, kCentred, 100, 100, kEditorStyle,
                            kEditorExStyle, kUnitsPixels);
    const WorkAreaSize workArea = DesktopWorkArea();
    AddControl(window, kKindCanvas, kEditorCanvasId, DynString(), 0, 0, workArea.width,
               workArea.height, 0, 0, nullptr, nullptr);
    return window;
}
