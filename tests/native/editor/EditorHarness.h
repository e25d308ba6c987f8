// An editor window over the recording fakes: a 700 x 140 canvas (100 columns and 10 rows
// at 9 points) in a window, the text given as plain strings, and keys sent as the hook does.
#pragma once

#include "editor/KeyProcessing.h"
#include "editor/ProgramState.h"
#include "editor/ScanCodes.h"
#include "editor/TextModel.h"
#include "tests/native/editor/fakes/DisplayFakes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class EditorTest : public ::testing::Test {
  protected:
    static WindowHandle Window() { return reinterpret_cast<WindowHandle>(std::uintptr_t{0x1000}); }
    static WindowHandle Canvas() { return reinterpret_cast<WindowHandle>(std::uintptr_t{0x1010}); }

    void SetUp() override {
        fakes::Reset();
        fakes::canvas.window = Window();
        fakes::canvas.id = 110;
        fakes::canvas.width = 700;
        fakes::canvas.height = 140;
        fakes::controls.controls[{Window(), 110}] = Canvas();
        fakes::controls.user[Canvas()] = {};
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
        ProcessEditorKey(code, none, LineArray, Window(), 110, 9);
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

    static ViewState View() {
        const auto& user = fakes::controls.user[Canvas()];
        return {user[0], user[1], user[2], user[3]};
    }

    static std::int32_t Column() { return TextColumn(View()); }

    static std::string Title() { return fakes::controls.captions[Window()]; }
};

inline bool operator==(const ViewState& a, const ViewState& b) {
    return a.topLine == b.topLine && a.firstColumn == b.firstColumn &&
           a.cursorLine == b.cursorLine && a.cursorScreenColumn == b.cursorScreenColumn;
}

inline void PrintTo(const ViewState& v, std::ostream* out) {
    *out << "{top " << v.topLine << ", first " << v.firstColumn << ", line " << v.cursorLine
         << ", screen column " << v.cursorScreenColumn << "}";
}
