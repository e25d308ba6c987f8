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
        for (char& byte : line) {
            // Runs of ASCII are taken eight bytes at a time: mostly ASCII, some of each.
            const unsigned pick = random() % 256;
            byte = static_cast<char>(round < 255 ? round + 1 : pick < 200 ? pick % 128 : pick);
        }
        std::string expected = line;
        OemToCharA(expected.data(), expected.data());
        ConvertOemToAnsi(line.data(), static_cast<std::uint32_t>(line.size()));
        ASSERT_EQ(line, expected) << "round " << round;
    }
}
