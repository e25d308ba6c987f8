// Recording stand-ins for the editor's display services: one canvas, the controls' user
// values and captions, posted messages and the command menu's answers. The canvas keeps
// what is drawn on it, which Render lays out as pixels for the tests to look at.
#pragma once

#include "platform/WindowHandle.h"
#include "runtime/DynString.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

// The colour of every pixel of the fake's background picture.
constexpr std::int32_t kPictureColour = 0x336699;
// The colour of a pixel that nothing was drawn on.
constexpr std::int32_t kNothingDrawn = -3;

// One print as it reached the canvas.
struct Print {
    double x;
    double y;
    std::string text;
    std::int32_t textColour;
    std::int32_t backColour;
};

// One drawing as it reached the backing bitmap.
struct Drawn {
    enum Kind { Fill, Text, Line } kind;
    double x1; // Fill: the rectangle's corners; Text: the first cell's top left;
    double y1; // Line: the start and the end (the end itself is left out, as LineTo does)
    double x2;
    double y2;
    std::int32_t colour;     // Fill and Line; Text: the text colour
    std::int32_t backColour; // Text: the colour behind it, or -2 for none
    std::string text;        // Text
    double cellWidth;        // Text: the cell of the font it was printed in
    double cellHeight;

    bool operator==(const Drawn&) const = default;
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
    // False keeps only the counts and the drawing state, not the drawings and prints, for
    // runs of millions of keys.
    bool recording = true;

    // Recorded.
    std::vector<Drawn> backing; // what the backing bitmap holds, from its last clear on
    std::vector<Drawn> screen;  // the backing bitmap as the last redraw showed it
    std::vector<Print> prints;  // prints since the last clear
    int pictureLoads = 0;
    std::string pictureName; // of the last picture loaded
    int redraws = 0;
    std::int32_t attachOption = -1; // of the last CanvasAttach

    // Drawing state of the current canvas.
    bool current = false;
    double x = 0;
    double y = 0;
    std::int32_t textColour = 0;
    std::int32_t backColour = 0;
    std::string fontFace;
    std::int32_t fontSize = 0;
    std::int32_t fontStyle = 0;
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

// A pixel of the canvas: its colour, and in a cell of text the cell's character and
// the text's colour (0 and 0 elsewhere).
struct Pixel {
    std::int32_t colour = kNothingDrawn;
    char glyph = 0;
    std::int32_t ink = 0;

    bool operator==(const Pixel&) const = default;
};

// The canvas's pixels, row by row from the top.
struct Rendered {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;

    // The pixel at x, y; an empty one outside the canvas.
    Pixel At(int x, int y) const;
    // How many pixels have this colour.
    int Count(std::int32_t colour) const;

    bool operator==(const Rendered&) const = default;
};

// The drawings laid on a canvas of the fake's size in their order, each covering what it
// covers: later drawings hide earlier ones, text on no background leaves the colour
// behind it, and a line hides the text beneath it.
Rendered Render(const std::vector<Drawn>& drawn);
// The same for a pixel string that CanvasGetPixels gave.
Rendered Render(const DynString& pixels);

} // namespace fakes
