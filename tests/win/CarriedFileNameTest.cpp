// Names outside the ANSI code page, as the open-file dialog hands them over: a name that
// reads as one file of its folder becomes that file's short name, which opens it; a name
// of the code page stays as it is, and so does one that reads as two files.
#include "dialogs/CarriedFileName.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A fresh folder under the temporary folder, ending in a backslash; removed afterwards.
class CarriedFileNameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"carried-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& name : files_) {
            DeleteFileW((folder_ + name).c_str());
        }
        RemoveDirectoryW(folder_.c_str());
    }

    void MakeFile(const std::wstring& name, const std::string& bytes) {
        HANDLE file = CreateFileW((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        files_.push_back(name);
    }

    // The name as the ANSI functions report it, characters the code page lacks replaced.
    static std::string Ansi(const std::wstring& text) {
        char bytes[MAX_PATH] = "";
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
        return bytes;
    }

    std::string Folder() const { return Ansi(folder_); }

    // The bytes of the file that the carried name opens in the folder; "" when none.
    std::string Opened(const std::string& carried) const {
        HANDLE file = CreateFileA((Folder() + carried).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return "";
        }
        char bytes[64] = "";
        DWORD read = 0;
        ReadFile(file, bytes, sizeof bytes, &read, nullptr);
        CloseHandle(file);
        return std::string(bytes, read);
    }

    std::string Carried(const std::wstring& name) const {
        return std::string(CarriedFileName(DynString(Folder().c_str()), Ansi(name).c_str()).View());
    }

    std::wstring folder_;
    std::vector<std::wstring> files_;
};

} // namespace

TEST_F(CarriedFileNameTest, ANameOutsideTheCodePageOpensByItsShortName) {
    const std::wstring greek = L"\u03b1\u03b2\u03b3.txt"; // alpha beta gamma
    const std::wstring kanji = L"\u6f22\u5b57.txt";
    MakeFile(greek, "alfa\r\n");
    MakeFile(kanji, "kanji\r\n");
    MakeFile(L"plain.txt", "plain\r\n");
    for (const auto& [name, bytes] :
         {std::pair{greek, "alfa\r\n"}, std::pair{kanji, "kanji\r\n"}}) {
        const std::string carried = Carried(name);
        EXPECT_NE(carried, Ansi(name));
        EXPECT_EQ(Opened(carried), bytes) << carried;
    }
}

TEST_F(CarriedFileNameTest, ANameOfTheCodePageStaysAsItIs) {
    MakeFile(L"plain.txt", "plain\r\n");
    MakeFile(L"Spese \u20ac lunghe.txt", "euro\r\n"); // not a short name, but all in the code page
    EXPECT_EQ(Carried(L"plain.txt"), "plain.txt");
    EXPECT_EQ(Carried(L"Spese \u20ac lunghe.txt"), Ansi(L"Spese \u20ac lunghe.txt"));
    EXPECT_EQ(Opened(Carried(L"Spese \u20ac lunghe.txt")), "euro\r\n");
    EXPECT_EQ(Carried(L"nessuno.txt"), "nessuno.txt");
}

// Two names that the code page writes alike cannot be told apart: neither is guessed.
TEST_F(CarriedFileNameTest, NamesThatReadAlikeStayAsTheyAre) {
    const std::wstring gamma = L"\u03b1\u03b2\u03b3.txt"; // alpha beta gamma
    const std::wstring zeta = L"\u03b1\u03b2\u03b6.txt";  // alpha beta zeta
    ASSERT_EQ(Ansi(gamma), Ansi(zeta));
    MakeFile(gamma, "gamma\r\n");
    MakeFile(zeta, "zeta\r\n");
    EXPECT_EQ(Carried(gamma), Ansi(gamma));
    EXPECT_EQ(Opened(Carried(gamma)), "");
}
