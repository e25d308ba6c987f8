// An editor window built as the program builds it: a dialog with one canvas control (id
// 110), the text in LineArray, and the initialising key call that draws the first screen.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

class EditorWindow {
  public:
    static constexpr int kCanvasId = 110;

    // The canvas is width x height pixels; the text becomes lines 1 to n of LineArray.
    EditorWindow(int width, int height, const std::vector<std::string>& text);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    HWND Window() const { return window_; }
    // Runs the window modally with the editor's callback (and so its keyboard hook) until
    // it ends.
    void RunModal();

  private:
    HWND window_ = nullptr;
};

// Lines 1 to n of LineArray.
std::vector<std::string> TextLines();
