// The program's globals, which live for its whole run and outlive every editor window.
#pragma once

#include "platform/WindowHandle.h"
#include "runtime/DynString.h"
#include "runtime/StringArray.h"

#include <cstdint>

extern WindowHandle startDialog;  // the start dialog; owner of the open-file dialog
extern WindowHandle editorDialog; // the editor window of the current (last) editor run
extern DynString fileName;        // the name the last open-file request returned
extern DynString selectedLine;    // the line on which Enter was last pressed; never cleared
extern StringArray LineArray;     // the text: element 0 empty, lines in 1..lineCount
extern std::int32_t insertMode;   // 1 insert, 0 overwrite
extern DynString backgroundBits;  // pixel string of the canvas right after the background picture

// Every global above back to its value at start, its strings and arrays released: at
// shutdown, and between the runs of tests and fuzz inputs.
void ResetProgramState() noexcept;
