// Owners of the GDI objects that a canvas operation makes for itself, so that each is
// gone again when the operation returns, whichever way it returns.
#pragma once

#include "platform/Platform.h"

// A pen, brush, font or bitmap, deleted with DeleteObject unless released.
template <class Handle> class GdiObject {
  public:
    explicit GdiObject(Handle handle) noexcept : handle_(handle) {}
    ~GdiObject() {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // Hands the object over to whoever keeps it from now on.
    Handle Release() noexcept {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

  private:
    Handle handle_;
};

// A memory DC of the operation's own, deleted with DeleteDC unless released.
class ScratchDc {
  public:
    explicit ScratchDc(HDC dc) noexcept : dc_(dc) {}
    ~ScratchDc() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    ScratchDc(const ScratchDc&) = delete;
    ScratchDc& operator=(const ScratchDc&) = delete;

    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    HDC Release() noexcept {
        HDC dc = dc_;
        dc_ = nullptr;
        return dc;
    }

  private:
    HDC dc_;
};

// Selects an object into a DC and selects the object it replaced back when it goes.
// Declare it after the owner of the object, so the object is out of the DC when deleted.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() {
        if (Succeeded()) {
            SelectObject(dc_, previous_);
        }
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    bool Succeeded() const noexcept { return previous_ != nullptr && previous_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};
