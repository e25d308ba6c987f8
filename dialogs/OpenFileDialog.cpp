#include "dialogs/OpenFileDialog.h"

#include "dialogs/CarriedFileName.h"
#include "platform/Platform.h"
#include "runtime/StringFunctions.h"

#include <array>

namespace {

constexpr std::size_t kFileBufferBytes = 8192;
constexpr DWORD kFileTitleBytes = 260;
// OFN_HIDEREADONLY, OFN_FILEMUSTEXIST, OFN_EXPLORER, OFN_LONGNAMES
constexpr std::uint32_t kRequestFlags = 0x00281004;
static_assert(kRequestFlags ==
              (OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES));

// Descriptions and pattern lists, one pair per choice; "Tutti" is selected at first.
constexpr const char* kFilterParts[] = {
    "Tutti|*.TXT;*.*;*.BAS|",
    "Testo *.txt|*.TXT|",
    "Bas *.bas|*.bas|",
    "Tutti *.*|*.*|",
};

// The current folder into folder, 0-terminated within the string ("" when there is
// none); false, with error 7, when there is no memory for it.
bool GetCurrentFolder(DynString& folder) {
    folder = DynString();
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) {
        return true;
    }
    folder = DynString::OfLength(size);
    if (folder.IsEmpty()) {
        return false;
    }
    const DWORD length = GetCurrentDirectoryA(size, folder.MutableBytes());
    if (length == 0 || length >= size) {
        folder = DynString();
    }
    return true;
}

// The name buffer: the given name up to its first 0 byte (and at most what fits), a 0
// byte, then spaces to the buffer's full size.
void FillFileNameBuffer(const DynString& fileSpec, std::array<char, kFileBufferBytes>& buffer) {
    buffer.fill(' ');
    std::size_t length = 0;
    while (length < fileSpec.Length() && length + 1 < kFileBufferBytes &&
           fileSpec.Bytes()[length] != '\0') {
        buffer[length] = fileSpec.Bytes()[length];
        ++length;
    }
    buffer[length] = '\0';
}

// The chosen file's folder as SetCurrentDirectoryA takes it, the last backslash kept so
// that a root folder stays one.
DynString FolderOf(const DynString& path) {
    const std::int32_t lastBackslash = FindSubstring(-1, path, "\\");
    return lastBackslash > 0 ? Substring(path, 1, lastBackslash) : DynString();
}

// The name with A to Z lowered and every other byte kept. The runtime's case table also
// pairs letters of the OEM code page, whose bytes 0x80 to 0xA5 are other characters in
// an ANSI name ("€" would become "‡") and would name a file that does not exist.
DynString LowerAsciiLetters(const DynString& name) {
    DynString lowered = name; // "" with error 7 when there is no memory for the copy
    char* bytes = lowered.MutableBytes();
    for (std::uint32_t i = 0; i < lowered.Length(); ++i) {
        if (bytes[i] >= 'A' && bytes[i] <= 'Z') {
            bytes[i] = static_cast<char>(bytes[i] - 'A' + 'a');
        }
    }
    return lowered;
}

} // namespace

std::int32_t OpenFileDialog(WindowHandle owner, const DynString& title, DynString& fileSpec,
                            const DynString& initialFolder, const DynString& filter,
                            const DynString& defaultExtension, std::uint32_t& flags) noexcept {
    // Every text the dialog needs is made before it shows; when one cannot be (error 7
    // is set), no file is chosen. Each "|" becomes one 0 byte and one more ends the list,
    // so any other length means a part of it could not be made.
    const DynString pairs = Concat(ReplaceAll("|", CharString({0}), filter), CharString({0}));
    DynString currentFolder;
    if (!MadeWhole(pairs, std::uint64_t{filter.Length()} + 1) ||
        (initialFolder.IsEmpty() && !GetCurrentFolder(currentFolder))) {
        fileSpec = DynString();
        return 0;
    }
    std::array<char, kFileBufferBytes> fileName;
    FillFileNameBuffer(fileSpec, fileName);
    std::array<char, kFileTitleBytes> fileTitle{};

    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = pairs.Bytes();
    request.nFilterIndex = 1;
    request.lpstrFile = fileName.data();
    request.nMaxFile = static_cast<DWORD>(fileName.size());
    request.lpstrFileTitle = fileTitle.data();
    request.nMaxFileTitle = kFileTitleBytes;
    request.lpstrInitialDir =
        initialFolder.IsEmpty() ? currentFolder.Bytes() : initialFolder.Bytes();
    request.lpstrTitle = title.IsEmpty() ? nullptr : title.Bytes();
    request.Flags = flags;
    request.lpstrDefExt = defaultExtension.IsEmpty() ? nullptr : defaultExtension.Bytes();

    const BOOL chosen = GetOpenFileNameA(&request);
    // The chosen path ends at its first 0 byte; what follows is left over from before.
    fileSpec = chosen ? DynString(fileName.data()) : DynString();
    flags = request.Flags;
    // A chosen path is never empty: an empty one means there was no memory for it.
    return chosen && !fileSpec.IsEmpty() ? 1 : 0;
}

DynString RequestFileName(WindowHandle owner) noexcept {
    DynString filter;
    for (const char* part : kFilterParts) {
        filter = Concat(filter, part);
    }
    DynString path;
    std::uint32_t flags = kRequestFlags;
    if (OpenFileDialog(owner, "Open File", path, "", filter, "TXT", flags) == 0) {
        return {};
    }
    // The file is opened by its bare name next, so its folder must be the current one;
    // the dialog leaves it elsewhere when a full path was typed.
    const DynString folder = FolderOf(path);
    if (!folder.IsEmpty()) {
        SetCurrentDirectoryA(folder.Bytes());
    }
    const DynString name = ReverseString(ExtractUntil(1, ReverseString(path), "\\"));
    return LowerAsciiLetters(CarriedFileName(folder, name));
}
