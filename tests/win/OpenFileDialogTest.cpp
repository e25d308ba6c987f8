#include "dialogs/OpenFileDialog.h"
#include "tests/win/support/FileDialogDriver.h"
#include "tests/win/support/RefuseHeap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string CurrentFolder() {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

// A fresh folder tree under the temporary folder, with Docs\Lettera.TXT and
// Docs\Note.old.BAS; removed afterwards, and the current folder put back.
class OpenFileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetLastVisitedFolders();
        previousFolder_ = CurrentFolder();
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        root_ = std::string(temp) + "open-file-" + std::to_string(GetCurrentProcessId());
        docs_ = root_ + "\\Docs";
        CreateDirectoryA(root_.c_str(), nullptr);
        CreateDirectoryA(docs_.c_str(), nullptr);
        for (const char* name : {"Lettera.TXT", "Note.old.BAS"}) {
            MakeFile(docs_ + "\\" + name);
        }
        SetCurrentDirectoryA(root_.c_str());
    }

    void TearDown() override {
        SetCurrentDirectoryA(previousFolder_.c_str());
        for (const std::string& file : files_) {
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(docs_.c_str());
        RemoveDirectoryA(root_.c_str());
    }

    void MakeFile(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(file);
        files_.push_back(path);
    }

    // RequestFileName with the dialog given that name (empty: cancelled).
    std::string Request(const std::string& typed) {
        FileDialogDriver driver("Open File", typed);
        const std::string name(RequestFileName(nullptr).View());
        seen_ = driver.Result();
        EXPECT_TRUE(seen_.found);
        EXPECT_FALSE(seen_.stuck);
        return name;
    }

    std::string previousFolder_;
    std::string root_;
    std::string docs_;
    std::vector<std::string> files_;
    FileDialogDriver::Seen seen_;
};

} // namespace

TEST_F(OpenFileDialogTest, OpensInTheCurrentFolderWithEveryFileShown) {
    EXPECT_EQ(Request(""), "");
    EXPECT_EQ(seen_.folder, "open-file-" + std::to_string(GetCurrentProcessId()));
    EXPECT_EQ(seen_.filterText, "Tutti");
    EXPECT_EQ(seen_.filterCount, 4);
    EXPECT_EQ(seen_.fileName, "");
}

TEST_F(OpenFileDialogTest, AChosenFileGivesItsLowerCaseNameAndItsFolderBecomesCurrent) {
    EXPECT_EQ(Request(docs_ + "\\Lettera.TXT"), "lettera.txt");
    EXPECT_EQ(CurrentFolder(), docs_);
}

TEST_F(OpenFileDialogTest, NeedsNoHeapMemory) {
    FileDialogDriver driver("Open File", docs_ + "\\Lettera.TXT");
    DynString name;
    {
        RefuseHeap refused;
        name = RequestFileName(nullptr);
    }
    EXPECT_TRUE(driver.Result().found);
    EXPECT_EQ(std::string(name.View()), "lettera.txt");
}

TEST_F(OpenFileDialogTest, EveryDotOfTheNameStays) {
    EXPECT_EQ(Request(docs_ + "\\Note.old.BAS"), "note.old.bas");
}

TEST_F(OpenFileDialogTest, OnlyAToZAreLoweredSoTheNameOpensTheChosenFile) {
    // Euro sign, Z and s with caron, yen: bytes that the OEM letter pairs would change.
    MakeFile(docs_ + "\\Spese \x80\x8E\x9A\xA5.TXT");
    const std::string name = Request(docs_ + "\\Spese \x80\x8E\x9A\xA5.TXT");
    EXPECT_EQ(name, "spese \x80\x8E\x9A\xA5.txt");
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST_F(OpenFileDialogTest, CancelGivesTheEmptyName) {
    EXPECT_EQ(Request(""), "");
}

TEST_F(OpenFileDialogTest, TheWrapperGivesExactlyTheChosenPath) {
    // A given name longer than the chosen path leaves nothing of itself behind.
    const std::string given(400, 'x');
    DynString fileSpec(given.c_str());
    std::uint32_t flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    {
        FileDialogDriver driver("Pick", docs_ + "\\Lettera.TXT");
        EXPECT_NE(OpenFileDialog(nullptr, "Pick", fileSpec, docs_.c_str(), "Tutti|*.*|", "", flags),
                  0);
        EXPECT_EQ(driver.Result().fileName, given);
        EXPECT_EQ(driver.Result().folder, "Docs");
    }
    EXPECT_EQ(std::string(fileSpec.View()), docs_ + "\\Lettera.TXT");
    EXPECT_NE(flags & OFN_EXPLORER, 0u);

    // A cancel gives the empty name, whatever was given.
    {
        FileDialogDriver driver("Pick", "");
        EXPECT_EQ(OpenFileDialog(nullptr, "Pick", fileSpec, "", "Tutti|*.*|", "", flags), 0);
        EXPECT_TRUE(driver.Result().found);
    }
    EXPECT_EQ(std::string(fileSpec.View()), "");
}
