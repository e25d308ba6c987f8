#include "editor/ProgramState.h"

WindowHandle startDialog = nullptr;
WindowHandle editorDialog = nullptr;
DynString fileName;
DynString selectedLine;
StringArray LineArray;
std::int32_t insertMode = 1;
DynString backgroundBits;

void ResetProgramState() noexcept {
    startDialog = nullptr;
    editorDialog = nullptr;
    fileName = DynString();
    selectedLine = DynString();
    ArrayErase(LineArray);
    insertMode = 1;
    backgroundBits = DynString();
}
