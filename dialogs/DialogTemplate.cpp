#include "dialogs/DialogTemplate.h"

#include <cstring>

namespace {

constexpr DWORD kDefaultStyle = 0x80C000D4; // WS_POPUP, WS_CAPTION, DS_MODALFRAME, DS_SETFONT,
                                            // DS_NOFAILCREATE, DS_3DLOOK
static_assert(kDefaultStyle ==
              (WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK));

class TemplateWriter {
  public:
    explicit TemplateWriter(DialogTemplate& dialogTemplate) : words_(dialogTemplate.words) {}

    void Word(WORD value) {
        if (next_ < words_.size()) {
            words_[next_++] = value;
        }
    }
    void DoubleWord(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    // Each byte becomes the character of the same value.
    void WidenedBytes(const char* bytes, std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            Word(static_cast<unsigned char>(bytes[i]));
        }
        Word(0);
    }

  private:
    std::array<WORD, 320>& words_;
    std::size_t next_ = 0;
};

} // namespace

DWORD DialogStyle(std::int32_t style, bool centred) noexcept {
    DWORD result = style == 0 ? kDefaultStyle : static_cast<DWORD>(style);
    result |= DS_3DLOOK | DS_NOFAILCREATE | DS_SETFONT;
    result &= ~static_cast<DWORD>(WS_VISIBLE | DS_SYSMODAL);
    if (centred) {
        result |= DS_CENTER;
    }
    return result;
}

void BuildDialogTemplate(DialogTemplate& dialogTemplate, DWORD style, DWORD exStyle, std::int16_t x,
                         std::int16_t y, std::int16_t width, std::int16_t height,
                         const DynString& caption, const char* face, std::uint8_t points) noexcept {
    dialogTemplate.words.fill(0);
    TemplateWriter writer(dialogTemplate);
    writer.DoubleWord(style);
    writer.DoubleWord(exStyle);
    writer.Word(0); // no items: controls are added to the live dialog
    writer.Word(static_cast<WORD>(x));
    writer.Word(static_cast<WORD>(y));
    writer.Word(static_cast<WORD>(width));
    writer.Word(static_cast<WORD>(height));
    writer.Word(0); // no menu
    writer.Word(0); // the default dialog class
    if (caption.IsEmpty()) {
        writer.WidenedBytes(" ", 1);
    } else {
        const std::uint32_t length = caption.Length();
        writer.WidenedBytes(caption.Bytes(), length < kMaxCaptionChars ? length : kMaxCaptionChars);
    }
    writer.Word(points);
    writer.WidenedBytes(face, static_cast<std::uint32_t>(strnlen(face, kMaxFaceBytes)));
}
