#include "canvas/ScreenCopy.h"

#include "canvas/CanvasState.h"
#include "canvas/ChangedArea.h"
#include "canvas/CurrentCanvas.h"

#include <memory>
#include <new>

struct ScreenCopy {
    std::unique_ptr<std::uint32_t[]> pixels; // as last copied to the screen
    std::unique_ptr<RowSpan[]> touched;      // per row, drawn on since the last update
    bool known = false;                      // the pixels match the screen
};

namespace {

PixelArea AsArea(const RECT& rect) {
    return PixelArea{rect.left, rect.top, rect.right, rect.bottom};
}

RECT WholeCanvas(const CanvasState& canvas) {
    return RECT{0, 0, canvas.width, canvas.height};
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

PixelRows Drawn(const CanvasState& canvas) {
    return PixelRows{canvas.pixels, canvas.width};
}

} // namespace

void TakeScreenCopy(CanvasState& canvas) noexcept {
    if (canvas.pixels == nullptr || canvas.width <= 0 || canvas.height <= 0) {
        return;
    }
    const auto count =
        static_cast<std::size_t>(canvas.width) * static_cast<std::size_t>(canvas.height);
    std::unique_ptr<ScreenCopy> copy(new (std::nothrow) ScreenCopy);
    if (copy == nullptr) {
        return;
    }
    copy->pixels.reset(new (std::nothrow) std::uint32_t[count]);
    copy->touched.reset(new (std::nothrow) RowSpan[static_cast<std::size_t>(canvas.height)]);
    if (copy->pixels == nullptr || copy->touched == nullptr) {
        return;
    }
    ClearTouched(copy->touched.get(), canvas.height);
    SetBoundsRect(canvas.memoryDc, nullptr, DCB_ENABLE | DCB_RESET);
    canvas.screenCopy = copy.release();
}

void ReleaseScreenCopy(CanvasState& canvas) noexcept {
    delete canvas.screenCopy;
    canvas.screenCopy = nullptr;
}

void NoteDrawing(CanvasState& canvas) noexcept {
    if (canvas.screenCopy == nullptr) {
        return;
    }
    RECT drawn{};
    if ((GetBoundsRect(canvas.memoryDc, &drawn, DCB_RESET) & DCB_SET) == DCB_SET) {
        NoteWritten(canvas, drawn);
    }
}

void NoteWritten(CanvasState& canvas, const RECT& area) noexcept {
    if (canvas.screenCopy != nullptr) {
        AddTouchedArea(canvas.screenCopy->touched.get(), canvas.height, AsArea(area));
    }
}

bool WriteSnapshotInPlace(CanvasState& canvas, const char* pixels) noexcept {
    if (canvas.pixels == nullptr ||
        reinterpret_cast<std::uintptr_t>(pixels) % alignof(std::uint32_t) != 0) {
        return false;
    }
    GdiFlush(); // drawing the platform still holds lands before the pixels are written
    const auto* source = reinterpret_cast<const std::uint32_t*>(pixels);
    RowSpan* touched = canvas.screenCopy != nullptr ? canvas.screenCopy->touched.get() : nullptr;
    for (std::int32_t row = 0; row < canvas.height; ++row) {
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) * canvas.width;
        const RowSpan written = WriteChangedPixels(source + at, canvas.pixels + at, canvas.width);
        if (touched != nullptr) {
            AddTouchedArea(touched, canvas.height,
                           PixelArea{written.from, row, written.to, row + 1});
        }
    }
    return true;
}

RECT AreaToSend(WindowRecord& record) noexcept {
    CanvasState& canvas = CanvasOf(record);
    ScreenCopy* copy = canvas.screenCopy;
    if (copy == nullptr) {
        return WholeCanvas(canvas);
    }
    NoteDrawing(canvas);
    PixelArea send = AsArea(WholeCanvas(canvas));
    if (copy->known) {
        // What lies outside the window is never on the screen, and is not looked at.
        const PixelArea seen = AsArea(CanvasVisibleArea(record));
        GdiFlush(); // the platform may still hold drawing meant for the pixels
        send = AreaToCopy(ChangedArea(Drawn(canvas), PixelRows{copy->pixels.get(), canvas.width},
                                      copy->touched.get(), seen),
                          seen);
    }
    // The paint that follows brings all of it to the screen.
    ClearTouched(copy->touched.get(), canvas.height);
    return send.Empty() ? RECT{} : RECT{send.left, send.top, send.right, send.bottom};
}

void NoteSentArea(WindowRecord& record, int region, const RECT& box) noexcept {
    CanvasState& canvas = CanvasOf(record);
    ScreenCopy* copy = canvas.screenCopy;
    if (copy == nullptr || region == NULLREGION) {
        return;
    }
    // A region of several rectangles is not followed: its box holds pixels it left alone.
    if (region != SIMPLEREGION) {
        copy->known = false;
        return;
    }
    RECT sent{};
    const RECT whole = WholeCanvas(canvas);
    if (!IntersectRect(&sent, &box, &whole)) {
        return;
    }
    // Until the whole part that is seen has been sent once, the rest of the screen is
    // not known.
    if (!copy->known && !Contains(sent, CanvasVisibleArea(record))) {
        return;
    }
    GdiFlush();
    CopyArea(Drawn(canvas), copy->pixels.get(), AsArea(sent));
    copy->known = true;
}
