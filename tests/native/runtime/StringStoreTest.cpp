#include "runtime/DynString.h"
#include "runtime/ErrorNumber.h"

#include "tests/native/runtime/FailAllocations.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

// Strings made, copied and dropped in random order, short ones sharing chunks and long ones
// on their own: each keeps its own bytes, length and terminator throughout, so no two
// slots overlap and a slot given back is handed out again whole.
TEST(StringStore, StringsKeepTheirBytesWhateverIsMadeAndDroppedAround) {
    std::mt19937 random(42);
    std::vector<DynString> strings(3000);
    std::vector<std::string> expected(strings.size());
    for (int round = 0; round < 60000; ++round) {
        const std::size_t at = random() % strings.size();
        if (random() % 3 == 0) {
            strings[at] = DynString();
            expected[at].clear();
            continue;
        }
        // Mostly around the largest shared slot (507 bytes), some far beyond it.
        const std::size_t length = random() % 8 == 0 ? 500 + random() % 20 : 1 + random() % 600;
        std::string bytes(length, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        if (random() % 2 == 0) {
            strings[at] = DynString(bytes);
        } else {
            const DynString made(bytes);
            strings[at] = made; // a copy, or the bytes into a block of the same length
        }
        expected[at] = bytes;
    }
    for (std::size_t i = 0; i < strings.size(); ++i) {
        ASSERT_EQ(strings[i].View(), expected[i]) << i;
        ASSERT_EQ(strings[i].Bytes()[strings[i].Length()], '\0') << i;
    }
}

TEST(StringStore, EveryStringCountsAsOneAllocationWhenMemoryRunsOut) {
    if (!kAllocationsCanFail) {
        GTEST_SKIP() << "the real allocator cannot be made to fail";
    }
    const DynString warm("a chunk of this size class exists now");
    ClearErrorNumber();
    {
        FailAllocations failing(1);
        const DynString first("a chunk of this size class exists now");
        EXPECT_EQ(first.View(), "a chunk of this size class exists now");
        const DynString second("a chunk of this size class exists now");
        EXPECT_TRUE(second.IsEmpty());
    }
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
}

// Under Wine every block of the system can be a memory mapping of its own, of which a
// process has some 65,000: the store takes its chunks from a few large blocks, and gives
// them back once their strings are gone.
TEST(StringStore, ManyChunksOfStringsTakeFewBlocksOfTheSystem) {
#ifdef _WIN32
    GTEST_SKIP() << "the blocks are counted by the stand-in";
#else
    const SIZE_T before = PosixVirtualBlocksInUse();
    {
        // 16 bytes of storage each: about 75 chunks.
        std::vector<DynString> strings(300000);
        for (DynString& string : strings) {
            string = DynString("8 bytes.");
        }
        EXPECT_LE(PosixVirtualBlocksInUse(), before + 2);
    }
    EXPECT_LE(PosixVirtualBlocksInUse(), before + 1);
#endif
}
