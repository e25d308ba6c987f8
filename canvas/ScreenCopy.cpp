#include "canvas/ScreenCopy.h"

#include "canvas/CanvasState.h"
#include "canvas/ChangedArea.h"
#include "canvas/CurrentCanvas.h"
#include "canvas/TopDownBitmapInfo.h"

#include <memory>
#include <new>
#include <utility>

// The copy matches the screen everywhere it is seen, except where it is pending: there
// the screen shows the canvas's pixels, unchanged since. The canvas's pixels match the copy
// except where they are touched or compared. The copy is a bitmap like the backing bitmap,
// so that the two can change places: after a paint of all that is seen, a snapshot
// written whole goes to the copy's bitmap, and the bitmap the screen shows becomes the
// copy, instead of being copied.
struct ScreenCopy {
    HBITMAP bitmap = nullptr;
    std::uint32_t* pixels = nullptr;
    std::unique_ptr<RowSpan[]> touched;  // drawn on since the last screen update
    std::unique_ptr<RowSpan[]> compared; // looked at by updates whose paint has not followed
    std::unique_ptr<RowSpan[]> pending;  // the screen shows the pixels; not yet copied
    RECT sent{};                         // what the last update sent
    bool known = false;                  // the copy matches the screen
    bool showsPixels = false;            // all that is seen shows the pixels, unchanged since
};

namespace {

PixelArea AsArea(const RECT& rect) {
    return PixelArea{rect.left, rect.top, rect.right, rect.bottom};
}

RECT WholeCanvas(const CanvasState& canvas) {
    return RECT{0, 0, canvas.width, canvas.height};
}

bool Contains(const RECT& outer, const RECT& inner) {
    return IsRectEmpty(&inner) || (inner.left >= outer.left && inner.top >= outer.top &&
                                   inner.right <= outer.right && inner.bottom <= outer.bottom);
}

PixelRows Drawn(const CanvasState& canvas) {
    return PixelRows{canvas.pixels, canvas.width};
}

std::unique_ptr<RowSpan[]> NewSpans(std::int32_t height) {
    std::unique_ptr<RowSpan[]> spans(new (std::nothrow) RowSpan[static_cast<std::size_t>(height)]);
    if (spans != nullptr) {
        ClearTouched(spans.get(), height);
    }
    return spans;
}

} // namespace

void TakeScreenCopy(CanvasState& canvas) noexcept {
    if (canvas.pixels == nullptr || canvas.width <= 0 || canvas.height <= 0) {
        return;
    }
    std::unique_ptr<ScreenCopy> copy(new (std::nothrow) ScreenCopy);
    if (copy == nullptr) {
        return;
    }
    const BITMAPINFO info = TopDownBitmapInfo(canvas.width, canvas.height);
    void* bits = nullptr;
    copy->bitmap = CreateDIBSection(canvas.memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    copy->pixels = static_cast<std::uint32_t*>(bits);
    copy->touched = NewSpans(canvas.height);
    copy->compared = NewSpans(canvas.height);
    copy->pending = NewSpans(canvas.height);
    if (copy->bitmap == nullptr || copy->pixels == nullptr || copy->touched == nullptr ||
        copy->compared == nullptr || copy->pending == nullptr) {
        if (copy->bitmap != nullptr) {
            DeleteObject(copy->bitmap);
        }
        return;
    }
    SetBoundsRect(canvas.memoryDc, nullptr, DCB_ENABLE | DCB_RESET);
    canvas.screenCopy = copy.release();
}

void ReleaseScreenCopy(CanvasState& canvas) noexcept {
    if (canvas.screenCopy != nullptr) {
        DeleteObject(canvas.screenCopy->bitmap); // never the one the DC holds
    }
    delete canvas.screenCopy;
    canvas.screenCopy = nullptr;
}

void TakeShownPixels(CanvasState& canvas) noexcept {
    if (ScreenCopy* copy = canvas.screenCopy) {
        GdiFlush();
        CopySpans(Drawn(canvas), copy->pixels, copy->pending.get(), canvas.height);
        ClearTouched(copy->pending.get(), canvas.height);
        copy->showsPixels = false;
    }
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

// Has the copy's bitmap and the backing bitmap change places, where the copy still takes
// the pixels for what the screen shows: the bitmap the screen shows becomes the copy, and
// the new backing bitmap differs from it only where the old copy differed, its pending
// part. False when the DC does not take the other bitmap.
bool TradePlaces(CanvasState& canvas, ScreenCopy& copy) {
    GdiFlush();
    HGDIOBJ shown = SelectObject(canvas.memoryDc, copy.bitmap);
    if (shown == nullptr || shown == HGDI_ERROR) {
        return false;
    }
    copy.bitmap = static_cast<HBITMAP>(shown);
    std::swap(canvas.pixels, copy.pixels);
    AddSpans(copy.touched.get(), copy.pending.get(), canvas.height);
    ClearTouched(copy.pending.get(), canvas.height);
    copy.showsPixels = false;
    return true;
}

bool WriteSnapshotInPlace(CanvasState& canvas, const char* pixels) noexcept {
    if (canvas.pixels == nullptr ||
        reinterpret_cast<std::uintptr_t>(pixels) % alignof(std::uint32_t) != 0) {
        return false;
    }
    GdiFlush(); // drawing the platform still holds lands before the pixels are written
    ScreenCopy* copy = canvas.screenCopy;
    // The whole snapshot replaces the pixels: whatever they were, so they may as well be the
    // copy's, while pixels that all the screen shows stay as they are and become the copy.
    if (copy != nullptr && !(copy->showsPixels && TradePlaces(canvas, *copy))) {
        TakeShownPixels(canvas);
    }
    const auto* source = reinterpret_cast<const std::uint32_t*>(pixels);
    for (std::int32_t row = 0; row < canvas.height; ++row) {
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) * canvas.width;
        const RowSpan written = WriteChangedPixels(source + at, canvas.pixels + at, canvas.width);
        if (copy != nullptr) {
            AddTouchedArea(copy->touched.get(), canvas.height,
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
    TakeShownPixels(canvas);
    PixelArea send = AsArea(WholeCanvas(canvas));
    if (copy->known) {
        // What lies outside the window is never on the screen, and is not looked at.
        const PixelArea seen = AsArea(CanvasVisibleArea(record));
        send = AreaToCopy(ChangedArea(Drawn(canvas), PixelRows{copy->pixels, canvas.width},
                                      copy->touched.get(), seen),
                          seen);
    }
    AddSpans(copy->compared.get(), copy->touched.get(), canvas.height);
    ClearTouched(copy->touched.get(), canvas.height);
    copy->sent = send.Empty() ? RECT{} : RECT{send.left, send.top, send.right, send.bottom};
    return copy->sent;
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
    if (Contains(sent, CanvasVisibleArea(record))) {
        // All that is seen shows the pixels now. The copy differs from them only where they
        // were compared or drawn on since, and is completed there when they next change; the
        // first time, it is completed everywhere.
        if (copy->known) {
            AddSpans(copy->pending.get(), copy->compared.get(), canvas.height);
            AddSpans(copy->pending.get(), copy->touched.get(), canvas.height);
        } else {
            AddTouchedArea(copy->pending.get(), canvas.height, AsArea(whole));
            copy->known = true;
        }
        ClearTouched(copy->compared.get(), canvas.height);
        ClearTouched(copy->touched.get(), canvas.height);
        copy->showsPixels = true;
    } else if (copy->known) {
        // Until the whole part that is seen has been sent once, the rest is not known.
        GdiFlush();
        CopyArea(Drawn(canvas), copy->pixels, AsArea(sent));
        // Once all that the last update sent is painted, the pixels it compared and did not
        // send matched the copy already.
        if (Contains(sent, copy->sent)) {
            ClearTouched(copy->compared.get(), canvas.height);
        }
    }
}
