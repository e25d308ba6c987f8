#include "tests/native/editor/fakes/DisplayFakes.h"

#include "editor/EditorDisplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <tuple>

namespace fakes {

CanvasFake canvas;
ControlsFake controls;

void Reset() {
    canvas = CanvasFake{};
    canvas.cell = ProportionalCell;
    controls = ControlsFake{};
}

std::pair<double, double> ProportionalCell(std::int32_t size) {
    return {std::ceil(size * 7.0 / 9.0), std::ceil(size * 14.0 / 9.0)};
}

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Records a call; the description is made only while recording.
template <typename Describe> void Record(Describe describe) {
    if (canvas.recording) {
        canvas.calls.push_back(describe());
    }
}

// The backing bitmap's content as a pixel string, and back.
DynString Encode(const std::vector<std::string>& picture) {
    std::string joined;
    for (const std::string& item : picture) {
        joined += item + '\n';
    }
    return DynString(std::string_view(joined));
}

std::vector<std::string> Decode(const DynString& pixels) {
    std::vector<std::string> picture;
    std::istringstream in{std::string(pixels.View())};
    for (std::string item; std::getline(in, item);) {
        picture.push_back(item);
    }
    return picture;
}

} // namespace

} // namespace fakes

using fakes::canvas;
using fakes::controls;
using fakes::Number;
using fakes::Record;

void CanvasAttach(WindowHandle window, std::int32_t controlId, std::int32_t option) noexcept {
    Record([&] { return "attach " + std::to_string(controlId) + " " + std::to_string(option); });
    canvas.current = window != nullptr && window == canvas.window && controlId == canvas.id;
}

void CanvasRedraw() noexcept {
    Record([&] { return "redraw"; });
    if (!canvas.current) {
        return;
    }
    ++canvas.redraws;
    canvas.screen = canvas.backing;
}

void CanvasGetSize(double& width, double& height) noexcept {
    Record([&] { return "size"; });
    width = canvas.current ? canvas.width : 0;
    height = canvas.current ? canvas.height : 0;
}

void CanvasGetVisibleSize(double& width, double& height) noexcept {
    Record([&] { return "visible size"; });
    width = canvas.current ? std::max(canvas.width - canvas.hiddenWidth, 0.0) : 0;
    height = canvas.current ? std::max(canvas.height - canvas.hiddenHeight, 0.0) : 0;
}

void CanvasSetFont(const DynString& face, std::int32_t size, std::int32_t style) noexcept {
    Record([&] {
        return "font " + std::string(face.View()) + " " + std::to_string(size) + " " +
               std::to_string(style);
    });
    if (canvas.current) {
        canvas.fontSize = size;
    }
}

void CanvasGetCharSize(double& width, double& height) noexcept {
    Record([&] { return "charsize"; });
    width = height = 0;
    if (canvas.current && canvas.fontSize > 0) {
        std::tie(width, height) = canvas.cell(canvas.fontSize);
    }
}

void CanvasMoveTo(double x, double y) noexcept {
    Record([&] { return "move " + Number(x) + " " + Number(y); });
    canvas.x = x;
    canvas.y = y;
}

void CanvasPrint(const DynString& text) noexcept {
    Record([&] { return "print '" + std::string(text.View()) + "'"; });
    if (!canvas.current || !canvas.recording) {
        return;
    }
    canvas.prints.push_back(
        {canvas.x, canvas.y, std::string(text.View()), canvas.textColour, canvas.backColour});
    canvas.backing.push_back("text " + Number(canvas.x) + "," + Number(canvas.y) + " '" +
                             std::string(text.View()) + "'");
}

void CanvasSetTextColor(std::int32_t colour) noexcept {
    Record([&] { return "textcolour " + std::to_string(colour); });
    canvas.textColour = colour;
}

void CanvasSetBackColor(std::int32_t colour) noexcept {
    Record([&] { return "backcolour " + std::to_string(colour); });
    canvas.backColour = colour;
}

void CanvasDrawPicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept {
    Record([&] {
        return "picture " + std::string(name.View()) + " " + Number(x1) + " " + Number(y1) + " " +
               Number(x2) + " " + Number(y2);
    });
    if (!canvas.current || !canvas.pictureExists) {
        return;
    }
    ++canvas.pictureLoads;
    if (canvas.recording) {
        canvas.backing.push_back("picture " + std::string(name.View()));
    }
}

DynString CanvasGetPixels() noexcept {
    Record([&] { return "getpixels"; });
    return canvas.current ? fakes::Encode(canvas.backing) : DynString();
}

void CanvasSetPixels(const DynString& pixels) noexcept {
    Record([&] { return "setpixels"; });
    if (!canvas.current) {
        return;
    }
    canvas.backing = fakes::Decode(pixels);
    canvas.prints.clear();
}

void CanvasClear(std::int32_t colour, std::int32_t fillStyle) noexcept {
    Record([&] { return "clear " + std::to_string(colour) + " " + std::to_string(fillStyle); });
    if (!canvas.current) {
        return;
    }
    canvas.backing = {"clear " + std::to_string(colour)};
    canvas.prints.clear();
}

void CanvasLineTo(double x, double y, std::int32_t colour) noexcept {
    Record([&] { return "line " + Number(x) + " " + Number(y) + " " + std::to_string(colour); });
    if (!canvas.current) {
        return;
    }
    if (canvas.recording) {
        canvas.backing.push_back("line " + Number(canvas.x) + "," + Number(canvas.y) + " to " +
                                 Number(x) + "," + Number(y));
    }
    canvas.x = x;
    canvas.y = y;
}

WindowHandle GetControlHandle(WindowHandle dialog, std::int32_t controlId) noexcept {
    const auto found = controls.controls.find({dialog, controlId});
    return found == controls.controls.end() ? nullptr : found->second;
}

std::int32_t GetControlUser(WindowHandle control, std::int32_t n) noexcept {
    const auto found = controls.user.find(control);
    return found == controls.user.end() ? 0 : found->second[(n - 1) & 7];
}

void SetControlUser(WindowHandle control, std::int32_t n, std::int32_t value) noexcept {
    const auto found = controls.user.find(control);
    if (found != controls.user.end()) {
        found->second[(n - 1) & 7] = value;
    }
}

void SetWindowCaption(WindowHandle window, const DynString& text) noexcept {
    ++controls.captionsSet;
    controls.captions[window] = std::string(text.View());
}

std::int32_t ShowCommandMenu(WindowHandle) noexcept {
    ++controls.menuShown;
    if (controls.menuAnswers.empty()) {
        return 0;
    }
    const std::int32_t answer = controls.menuAnswers.front();
    controls.menuAnswers.pop_front();
    return answer;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    controls.posted.push_back({window, message, wParam, lParam});
    return TRUE;
}
