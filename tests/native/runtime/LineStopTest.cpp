#include "runtime/LineStop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// Every length up to past three blocks of sixteen, with the first stop at every place or
// none; the bytes around it are the ones a careless comparison takes for a stop (LF, NUL,
// CR and Ctrl-Z with the top bit), and more stops follow. The buffer is exactly as long as
// the range, so that a read past its end is caught.
TEST(LineStop, FindsTheFirstCrOrCtrlZ) {
    const char lookalikes[] = {'a', '\n', '\0', '\x8D', '\x9A'};
    for (std::size_t length = 0; length <= 50; ++length) {
        for (std::size_t first = 0; first <= length; ++first) {
            for (const char stop : {kLineCr, kTextEnd}) {
                const auto bytes = std::make_unique<char[]>(length);
                for (std::size_t i = 0; i < length; ++i) {
                    bytes[i] = i < first ? lookalikes[i % 5] : i % 3 == 0 ? kLineCr : kTextEnd;
                }
                if (first < length) {
                    bytes[first] = stop;
                }
                const char* begin = bytes.get();
                EXPECT_EQ(FindLineStop(begin, begin + length), begin + first)
                    << "length " << length << " first " << first << " stop " << int{stop};
            }
        }
    }
}
