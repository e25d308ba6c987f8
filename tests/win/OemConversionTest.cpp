// Lines are converted through a table built once from the platform's conversion; every
// line must come out as the platform's call on that line gives it.
#include "editor/OemConversion.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(OemConversion, GivesWhatTheCallPerLineGives) {
    std::mt19937 random(437);
    for (int round = 0; round < 3000; ++round) {
        // ASCII is passed over sixteen bytes at a time, up to 64, the last sixteen of a line
        // overlapping those before: lines of every length up to past three such groups.
        std::string line(1 + random() % 200, ' ');
        for (char& byte : line) {
            // Mostly ASCII, some bytes above 0x7F; a NUL in one line of four.
            const unsigned pick = random() % 256;
            byte = static_cast<char>(round < 255  ? round + 1
                                     : pick < 220 ? 1 + pick % 127
                                                  : 0x80 + pick % 128);
        }
        if (round % 4 == 0) {
            line[random() % line.size()] = '\0';
        }
        std::string expected = line;
        OemToCharA(expected.data(), expected.data());
        ConvertOemToAnsi(line.data(), static_cast<std::uint32_t>(line.size()));
        ASSERT_EQ(line, expected) << "round " << round;
    }
}
