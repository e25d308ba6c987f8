#include "platform/Platform.h"
#include "runtime/MessageBox.h"

#include "support/MessageBoxCloser.h"

#include <gtest/gtest.h>

TEST(ShowMessage, AnEmptyCaptionShowsTheProgramName) {
    std::int32_t button = 0;
    {
        MessageBoxCloser closer;
        button = ShowMessage(DynString("    x = 1"), MB_OK, DynString());
        ASSERT_TRUE(closer.Found());
        EXPECT_EQ(closer.Caption(), "Talvermoor");
        EXPECT_EQ(closer.Text(), "    x = 1");
    }
    EXPECT_EQ(button, IDOK);
    EXPECT_EQ(FindWindowA("#32770", "Talvermoor"), nullptr);
}

TEST(ShowMessage, AGivenCaptionIsShown) {
    MessageBoxCloser closer;
    EXPECT_EQ(ShowMessage(DynString("testo"), MB_OK, DynString("Riga scelta")), IDOK);
    ASSERT_TRUE(closer.Found());
    EXPECT_EQ(closer.Caption(), "Riga scelta");
    EXPECT_EQ(closer.Text(), "testo");
}

TEST(DesktopWorkArea, IsTheSystemWorkArea) {
    RECT area{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    const WorkAreaSize size = DesktopWorkArea();
    EXPECT_EQ(size.width, area.right - area.left);
    EXPECT_EQ(size.height, area.bottom - area.top);
    EXPECT_GT(size.width, 0);
}
