// Recording stand-ins for the editor's display services: one canvas, the controls' user
// values and captions, posted messages and the command menu's answers.
#pragma once

#include "platform/WindowHandle.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

// One print as it reached the canvas.
struct Print {
    double x;
    double y;
    std::string text;
    std::int32_t textColour;
    std::int32_t backColour;
};

struct CanvasFake {
    // Set up by the test.
    WindowHandle window = nullptr; // the dialog holding the canvas
    std::int32_t id = 0;           // its control id
    double width = 0;
    double height = 0;
    double hiddenWidth = 0;    // pixels at the canvas's right edge that its window does not show
    double hiddenHeight = 0;   // pixels at the canvas's bottom that its window does not show
    bool pictureExists = true; // whether the background picture can be loaded
    // The character cell of the font at a point size.
    std::function<std::pair<double, double>(std::int32_t)> cell;
    // False keeps only the counts and the drawing state, not the calls and pictures, for
    // runs of millions of keys.
    bool recording = true;

    // Recorded.
    std::vector<std::string> calls;   // every call, in order, with its arguments
    std::vector<std::string> backing; // what the backing bitmap holds, from its last clear on
    std::vector<std::string> screen;  // the backing bitmap as the last redraw showed it
    std::vector<Print> prints;        // prints since the last clear
    int pictureLoads = 0;
    int redraws = 0;

    // Drawing state of the current canvas.
    bool current = false;
    double x = 0;
    double y = 0;
    std::int32_t textColour = 0;
    std::int32_t backColour = 0;
    std::int32_t fontSize = 0;
};

struct PostedMessage {
    WindowHandle window;
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

struct ControlsFake {
    std::map<std::pair<WindowHandle, std::int32_t>, WindowHandle> controls; // (dialog, id)
    std::map<WindowHandle, std::array<std::int32_t, 8>> user; // user values of each control
    std::map<WindowHandle, std::string> captions;             // last caption of each window
    int captionsSet = 0;
    std::vector<PostedMessage> posted;
    std::deque<std::int32_t> menuAnswers; // what the command menu answers next (0 when none)
    int menuShown = 0;
};

extern CanvasFake canvas;
extern ControlsFake controls;

// Forgets everything recorded and set up.
void Reset();

// The canvas cell of the fake font: 7 x 14 pixels at 9 points, in proportion otherwise.
std::pair<double, double> ProportionalCell(std::int32_t size);

} // namespace fakes
