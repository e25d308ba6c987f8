// The editor window over the display fakes, for the native tests and the fuzz target: one
// window with its canvas control, and the view state that the editor keeps in the canvas.
#pragma once

#include "editor/EditorWindow.h"
#include "editor/TextModel.h"
#include "tests/native/editor/fakes/DisplayFakes.h"

#include <cstdint>
#include <ostream>

namespace fakes {

inline WindowHandle EditorWindow() {
    return reinterpret_cast<WindowHandle>(std::uintptr_t{0x1000});
}

inline WindowHandle EditorCanvas() {
    return reinterpret_cast<WindowHandle>(std::uintptr_t{0x1010});
}

// Forgets everything recorded and set up, and makes the editor window with its canvas of
// that size.
inline void SetUpEditorWindow(double width, double height) {
    Reset();
    canvas.window = EditorWindow();
    canvas.id = kEditorCanvasId;
    canvas.width = width;
    canvas.height = height;
    controls.controls[{EditorWindow(), kEditorCanvasId}] = EditorCanvas();
    controls.user[EditorCanvas()] = {};
}

// The view state that the editor stored in the canvas's user values 1 to 4.
inline ViewState StoredView() {
    const auto& user = controls.user[EditorCanvas()];
    return {user[0], user[1], user[2], user[3]};
}

} // namespace fakes

inline bool operator==(const ViewState& a, const ViewState& b) {
    return a.topLine == b.topLine && a.firstColumn == b.firstColumn &&
           a.cursorLine == b.cursorLine && a.cursorScreenColumn == b.cursorScreenColumn;
}

inline void PrintTo(const ViewState& v, std::ostream* out) {
    *out << "{top " << v.topLine << ", first " << v.firstColumn << ", line " << v.cursorLine
         << ", screen column " << v.cursorScreenColumn << "}";
}
