#include "tests/native/editor/fakes/DisplayFakes.h"

#include "editor/EditorDisplay.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
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

int Rounded(double value) {
    return static_cast<int>(std::lround(value));
}

// The backing bitmap's drawings as a pixel string, and back.
template <typename T> void Put(std::string& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T> bool Take(std::string_view& bytes, T& value) {
    if (bytes.size() < sizeof value) {
        return false;
    }
    std::memcpy(&value, bytes.data(), sizeof value);
    bytes.remove_prefix(sizeof value);
    return true;
}

DynString Encode(const std::vector<Drawn>& drawings) {
    std::string bytes;
    for (const Drawn& drawn : drawings) {
        Put(bytes, drawn.kind);
        for (double value :
             {drawn.x1, drawn.y1, drawn.x2, drawn.y2, drawn.cellWidth, drawn.cellHeight}) {
            Put(bytes, value);
        }
        Put(bytes, drawn.colour);
        Put(bytes, drawn.backColour);
        Put(bytes, static_cast<std::uint32_t>(drawn.text.size()));
        bytes += drawn.text;
    }
    return DynString(std::string_view(bytes));
}

std::vector<Drawn> Decode(const DynString& pixels) {
    std::vector<Drawn> drawings;
    std::string_view bytes = pixels.View();
    while (!bytes.empty()) {
        Drawn drawn{};
        std::uint32_t length = 0;
        if (!Take(bytes, drawn.kind) || !Take(bytes, drawn.x1) || !Take(bytes, drawn.y1) ||
            !Take(bytes, drawn.x2) || !Take(bytes, drawn.y2) || !Take(bytes, drawn.cellWidth) ||
            !Take(bytes, drawn.cellHeight) || !Take(bytes, drawn.colour) ||
            !Take(bytes, drawn.backColour) || !Take(bytes, length) || bytes.size() < length) {
            break;
        }
        drawn.text = std::string(bytes.substr(0, length));
        bytes.remove_prefix(length);
        drawings.push_back(drawn);
    }
    return drawings;
}

// Gives the pixels of a rectangle, cut to the canvas, whatever change makes of them.
template <typename Change>
void Cover(Rendered& rendered, int left, int top, int right, int bottom, Change change) {
    for (int y = std::max(top, 0); y < std::min(bottom, rendered.height); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, rendered.width); ++x) {
            change(rendered.pixels[static_cast<std::size_t>(y) * rendered.width + x]);
        }
    }
}

void Lay(Rendered& rendered, const Drawn& drawn) {
    switch (drawn.kind) {
    case Drawn::Fill:
        Cover(rendered, Rounded(drawn.x1), Rounded(drawn.y1), Rounded(drawn.x2), Rounded(drawn.y2),
              [&](Pixel& pixel) {
                  pixel = {drawn.colour, 0, 0};
              });
        break;
    case Drawn::Text:
        for (std::size_t i = 0; i < drawn.text.size(); ++i) {
            const double left = drawn.x1 + static_cast<double>(i) * drawn.cellWidth;
            Cover(rendered, Rounded(left), Rounded(drawn.y1), Rounded(left + drawn.cellWidth),
                  Rounded(drawn.y1 + drawn.cellHeight), [&](Pixel& pixel) {
                      pixel.glyph = drawn.text[i];
                      pixel.ink = drawn.colour;
                      if (drawn.backColour != kColourTransparent) {
                          pixel.colour = drawn.backColour;
                      }
                  });
        }
        break;
    case Drawn::Line: {
        const double dx = drawn.x2 - drawn.x1;
        const double dy = drawn.y2 - drawn.y1;
        const int steps = Rounded(std::max(std::fabs(dx), std::fabs(dy)));
        for (int i = 0; i < steps; ++i) {
            const int x = Rounded(drawn.x1 + dx * i / steps);
            const int y = Rounded(drawn.y1 + dy * i / steps);
            Cover(rendered, x, y, x + 1, y + 1, [&](Pixel& pixel) {
                pixel = {drawn.colour, 0, 0};
            });
        }
        break;
    }
    }
}

} // namespace

Pixel Rendered::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return {};
    }
    return pixels[static_cast<std::size_t>(y) * width + x];
}

int Rendered::Count(std::int32_t colour) const {
    return static_cast<int>(std::count_if(
        pixels.begin(), pixels.end(), [&](const Pixel& pixel) { return pixel.colour == colour; }));
}

Rendered Render(const std::vector<Drawn>& drawings) {
    Rendered rendered{Rounded(canvas.width), Rounded(canvas.height), {}};
    rendered.pixels.resize(static_cast<std::size_t>(std::max(rendered.width, 0)) *
                           static_cast<std::size_t>(std::max(rendered.height, 0)));
    for (const Drawn& drawn : drawings) {
        Lay(rendered, drawn);
    }
    return rendered;
}

Rendered Render(const DynString& pixels) {
    return Render(Decode(pixels));
}

} // namespace fakes

using fakes::canvas;
using fakes::controls;
using fakes::Drawn;

void CanvasAttach(WindowHandle window, std::int32_t controlId, std::int32_t option) noexcept {
    canvas.attachOption = option;
    canvas.current = window != nullptr && window == canvas.window && controlId == canvas.id;
}

void CanvasRedraw() noexcept {
    if (!canvas.current) {
        return;
    }
    ++canvas.redraws;
    canvas.screen = canvas.backing;
}

void CanvasGetSize(double& width, double& height) noexcept {
    width = canvas.current ? canvas.width : 0;
    height = canvas.current ? canvas.height : 0;
}

void CanvasGetVisibleSize(double& width, double& height) noexcept {
    width = canvas.current ? std::max(canvas.width - canvas.hiddenWidth, 0.0) : 0;
    height = canvas.current ? std::max(canvas.height - canvas.hiddenHeight, 0.0) : 0;
}

void CanvasSetFont(const DynString& face, std::int32_t size, std::int32_t style) noexcept {
    if (canvas.current) {
        canvas.fontFace = std::string(face.View());
        canvas.fontSize = size;
        canvas.fontStyle = style;
    }
}

void CanvasGetCharSize(double& width, double& height) noexcept {
    width = height = 0;
    if (canvas.current && canvas.fontSize > 0) {
        std::tie(width, height) = canvas.cell(canvas.fontSize);
    }
}

void CanvasMoveTo(double x, double y) noexcept {
    canvas.x = x;
    canvas.y = y;
}

void CanvasPrint(const DynString& text) noexcept {
    if (!canvas.current || !canvas.recording) {
        return;
    }
    canvas.prints.push_back(
        {canvas.x, canvas.y, std::string(text.View()), canvas.textColour, canvas.backColour});
    double width = 0;
    double height = 0;
    CanvasGetCharSize(width, height);
    canvas.backing.push_back({.kind = Drawn::Text,
                              .x1 = canvas.x,
                              .y1 = canvas.y,
                              .x2 = 0,
                              .y2 = 0,
                              .colour = canvas.textColour,
                              .backColour = canvas.backColour,
                              .text = std::string(text.View()),
                              .cellWidth = width,
                              .cellHeight = height});
}

void CanvasSetTextColor(std::int32_t colour) noexcept {
    canvas.textColour = colour;
}

void CanvasSetBackColor(std::int32_t colour) noexcept {
    canvas.backColour = colour;
}

void CanvasDrawPicture(const DynString& name, double x1, double y1, double x2, double y2) noexcept {
    if (!canvas.current || !canvas.pictureExists) {
        return;
    }
    ++canvas.pictureLoads;
    canvas.pictureName = std::string(name.View());
    if (canvas.recording) {
        canvas.backing.push_back({Drawn::Fill, x1, y1, x2, y2, fakes::kPictureColour, 0, {}, 0, 0});
    }
}

DynString CanvasGetPixels() noexcept {
    return canvas.current ? fakes::Encode(canvas.backing) : DynString();
}

void CanvasSetPixels(const DynString& pixels) noexcept {
    if (!canvas.current) {
        return;
    }
    canvas.backing = fakes::Decode(pixels);
    canvas.prints.clear();
}

void CanvasClear(std::int32_t colour, std::int32_t) noexcept {
    if (!canvas.current) {
        return;
    }
    canvas.backing = {{Drawn::Fill, 0, 0, canvas.width, canvas.height, colour, 0, {}, 0, 0}};
    canvas.prints.clear();
}

void CanvasLineTo(double x, double y, std::int32_t colour) noexcept {
    if (!canvas.current) {
        return;
    }
    if (canvas.recording) {
        canvas.backing.push_back({Drawn::Line, canvas.x, canvas.y, x, y, colour, 0, {}, 0, 0});
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
