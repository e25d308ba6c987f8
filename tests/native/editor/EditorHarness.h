// An editor window over the recording fakes: a 700 x 140 canvas (100 columns and 10 rows
// at 9 points) in a window, the text given as plain strings, and keys sent as the hook does.
#pragma once

#include "editor/KeyProcessing.h"
#include "editor/ProgramState.h"
#include "editor/ScanCodes.h"
#include "editor/TextModel.h"
#include "tests/native/editor/EditorFakeWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class EditorTest : public ::testing::Test {
  protected:
    static WindowHandle Window() { return fakes::EditorWindow(); }
    static WindowHandle Canvas() { return fakes::EditorCanvas(); }

    void SetUp() override {
        fakes::SetUpEditorWindow(700, 140);
        ResetProgramState();
        editorDialog = Window();
    }

    void TearDown() override { ResetProgramState(); }

    // Loads the text (lines 1 to n, element 0 empty) and makes the initialising call.
    void Open(const std::vector<std::string>& text) {
        SetText(text);
        Initialise();
    }

    static void SetText(const std::vector<std::string>& text) {
        ArrayRedim(LineArray, 0, static_cast<std::int32_t>(text.size()));
        for (std::size_t i = 0; i < text.size(); ++i) {
            LineArray[static_cast<std::int32_t>(i + 1)] = DynString(std::string_view(text[i]));
        }
    }

    void Initialise() {
        std::int32_t code = 0;
        DynString none;
        ProcessEditorKey(code, none, LineArray, Window(), kEditorCanvasId, kEditorFontSize);
    }

    // One key as the hook passes it: the scan code and one byte of character.
    std::int32_t Key(std::int32_t code, char character = '\0') {
        DynString keyChar(&character, 1);
        ProcessEditorKey(code, keyChar, LineArray, nullptr, 0, 0);
        return code;
    }

    void Type(const std::string& text) {
        for (char c : text) {
            Key(scan::LetterA, c);
        }
    }

    // Moves the cursor to a line and column from the top left of the text.
    void MoveTo(int line, int column) {
        Key(scan::Home);
        Key(scan::Home);
        for (int i = 1; i < line; ++i) {
            Key(scan::Down);
        }
        for (int i = 1; i < column; ++i) {
            Key(scan::Right);
        }
    }

    static std::vector<std::string> Lines() {
        std::vector<std::string> text;
        for (std::int32_t i = 1; i <= ArrayUpperBound(LineArray); ++i) {
            text.emplace_back(LineArray[i].View());
        }
        return text;
    }

    static ViewState View() { return fakes::StoredView(); }

    static std::int32_t Column() { return TextColumn(View()); }

    static std::string Title() { return fakes::controls.captions[Window()]; }
};
