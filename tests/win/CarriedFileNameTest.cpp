// Names as the open-file dialog hands them over, characters outside the ANSI code page
// replaced: a name that reads as one file of its folder becomes that file's short name,
// which opens it; a name of the code page stays as it is, and so do two that read alike.
#include "dialogs/CarriedFileName.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Ansi(const std::wstring& text) {
    char bytes[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

// The bytes of the file that the name opens; "" when it opens none.
std::string Opened(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    char bytes[64] = "";
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, bytes, sizeof bytes, &read, nullptr);
        CloseHandle(file);
    }
    return std::string(bytes, read);
}

} // namespace

TEST(CarriedFileName, ANameOutsideTheCodePageOpensByItsShortName) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"carried-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring alphaBetaGamma = L"\u03b1\u03b2\u03b3.txt";
    const std::wstring alphaBetaZeta = L"\u03b1\u03b2\u03b6.txt"; // reads as the one above
    ASSERT_EQ(Ansi(alphaBetaGamma), Ansi(alphaBetaZeta));
    const struct {
        std::wstring subfolder;
        std::wstring name;
        bool shortName; // opened by its short name, else by the name as handed over
    } files[] = {
        {L"", L"\u6f22\u5b57.txt", true}, // two ideographs: "??.txt"
        {L"", L"\u03b1\u03b2.txt", true}, // alpha beta: a look-alike "a" and sharp s
        {L"", L"Spese \u20ac lunghe.txt", false}, {L"", L"plain.txt", false},
        {L"alike\\", alphaBetaGamma, false},      {L"alike\\", alphaBetaZeta, false},
    };
    CreateDirectoryW((folder + L"alike").c_str(), nullptr);
    for (const auto& file : files) {
        HANDLE made = CreateFileW((folder + file.subfolder + file.name).c_str(), GENERIC_WRITE, 0,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(made, file.name.c_str(), 8, &written, nullptr);
        CloseHandle(made);
    }
    for (const auto& file : files) {
        const std::string in = Ansi(folder + file.subfolder);
        const std::string carried(
            CarriedFileName(DynString(in.c_str()), Ansi(file.name).c_str()).View());
        EXPECT_EQ(carried != Ansi(file.name), file.shortName) << carried;
        const bool alike = !file.subfolder.empty();
        EXPECT_EQ(Opened(in + carried),
                  alike ? "" : std::string(reinterpret_cast<const char*>(file.name.c_str()), 8))
            << carried;
    }
    EXPECT_EQ(std::string(CarriedFileName(Ansi(folder).c_str(), "nessuno.txt").View()),
              "nessuno.txt");
    for (const auto& file : files) {
        DeleteFileW((folder + file.subfolder + file.name).c_str());
    }
    RemoveDirectoryW((folder + L"alike").c_str());
    RemoveDirectoryW(folder.c_str());
}
