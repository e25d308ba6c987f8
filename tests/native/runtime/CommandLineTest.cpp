#include "runtime/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, QuotedProgramNameAndItsSpacesAreSkipped) {
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\editor.exe\"  x"), "x");
    EXPECT_STREQ(SkipProgramName("\"C:\\a b\\editor.exe\""), "");
}

TEST(CommandLine, UnquotedProgramNameEndsAtTheFirstSpaceOrControlByte) {
    EXPECT_STREQ(SkipProgramName("editor.exe"), "");
    EXPECT_STREQ(SkipProgramName("editor.exe   one two"), "one two");
    EXPECT_STREQ(SkipProgramName("editor.exe\tone"), "\tone");
}

TEST(CommandLine, AnUnclosedQuoteLeavesNoArguments) {
    EXPECT_STREQ(SkipProgramName("\"C:\\editor.exe x"), "");
    EXPECT_STREQ(SkipProgramName(nullptr), "");
}
