// Lines are converted through a table built once from the platform's conversion; every
// line must come out as the platform's call on that line gives it.
#include "editor/OemConversion.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(OemConversion, GivesWhatTheCallPerLineGives) {
    std::mt19937 random(437);
    for (int round = 0; round < 2000; ++round) {
        std::string line(1 + random() % 40, ' ');
        for (char& byte : line)
            byte = static_cast<char>(round < 255 ? round + 1 : random() % 256);
        std::string expected = line;
        OemToCharA(expected.data(), expected.data());
        ConvertOemToAnsi(line.data());
        ASSERT_EQ(line, expected) << "round " << round;
    }
}
