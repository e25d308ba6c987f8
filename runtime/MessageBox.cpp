#include "runtime/MessageBox.h"

#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"
#include "runtime/FloatState.h"

std::int32_t ShowMessage(const DynString& text, std::int32_t style,
                         const DynString& caption) noexcept {
    const char* shownCaption = caption.IsEmpty() ? "Talvermoor" : caption.Bytes();
    // A moment's pause before the box: its caller has usually just closed a window (the
    // start dialog, its editor window), and the box is to come up after the system has
    // moved the activation on from that window rather than race it for the foreground.
    Sleep(5);
    // Not through the gate: its lock must not be held while the box waits for the user.
    const FloatState saved = SaveFloatState();
    const int button = MessageBoxA(nullptr, text.Bytes(), shownCaption, static_cast<UINT>(style));
    RestoreFloatState(saved);
    return button;
}

WorkAreaSize DesktopWorkArea() noexcept {
    RECT area{};
    const auto gate =
        ApiCallGate([&] { return SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0); });
    if (!gate.value) {
        SetErrorNumber(gate.error != Err::None ? gate.error : Err::Internal);
        return {0, 0};
    }
    return {area.right - area.left, area.bottom - area.top};
}
