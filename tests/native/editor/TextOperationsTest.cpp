#include "tests/native/editor/EditorHarness.h"
#include "tests/native/runtime/FailAllocations.h"

#include <algorithm>
#include <functional>
#include <regex>

namespace {

class TextOperations : public EditorTest {
  protected:
    // F1 with the menu answering operation.
    void Run(std::int32_t operation) {
        fakes::controls.menuAnswers.push_back(operation);
        Key(scan::F1);
    }
};

TEST_F(TextOperations, CaseMappingsReshapeEveryLineButElementZero) {
    Open({"Hello World", "o'neil 2nd JOHN", "\x84t\x8e"});
    LineArray[0] = "untouched";
    Run(1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"HELLO WORLD", "O'NEIL 2ND JOHN", "\x8eT\x8e"}));
    Run(2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"hello world", "o'neil 2nd john", "\x84t\x84"}));
    Run(3);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Hello World", "O'Neil 2Nd John", "\x8et\x84"}));
    EXPECT_EQ(std::string(LineArray[0].View()), "untouched");
    EXPECT_EQ(fakes::controls.menuShown, 3);
}

TEST_F(TextOperations, IndentToTheCursorAndRemoveTheIndent) {
    Open({"  abc", "", " x  ", "\tt"});
    MoveTo(2, 5);
    Run(4);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"    abc", "    ", "    x", "    \tt"}));
    Run(5);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"abc", "", "x", "\tt"}));
    Key(scan::Home);
    Run(4);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"abc", "", "x", "\tt"}));
}

TEST_F(TextOperations, ShortenSpacesLeavesSingleSpacesBetweenWords) {
    Open({"  a   b ", " ", "one two", "a\t b", ""});
    Run(6);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a b", "", "one two", "a\t b", ""}));
}

TEST_F(TextOperations, DateAndTimeArePlacedAtTheCursorInTheCurrentMode) {
    Open({"x", "abc", "ab"});
    Run(7);
    EXPECT_TRUE(std::regex_match(Lines()[0], std::regex(R"(\d\d-\d\d-\d\d\d\dx)"))) << Lines()[0];
    EXPECT_EQ(View(), (ViewState{1, 1, 1, 1}));

    Key(scan::Insert);
    MoveTo(2, 2);
    Run(7);
    EXPECT_TRUE(std::regex_match(Lines()[1], std::regex(R"(a\d\d)"))) << Lines()[1];

    MoveTo(3, 5);
    Run(8);
    EXPECT_TRUE(std::regex_match(Lines()[2], std::regex(R"(ab  \d\d:\d\d:\d\d)"))) << Lines()[2];
    EXPECT_EQ(Column(), 5);
}

TEST_F(TextOperations, DateGoesIntoElementZeroOfAnEmptyText) {
    Open({});
    Run(8);
    EXPECT_EQ(LineArray[0].Length(), 8u);
    EXPECT_EQ(ArrayUpperBound(LineArray), 0);
}

TEST_F(TextOperations, SortOrdersTheLinesFromTheCursorsLine) {
    Open({"zz", "yy", "pear", "Apple", "apple", "", "banana"});
    MoveTo(3, 1);
    Run(9);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"zz", "yy", "", "Apple", "apple", "banana", "pear"}));
    EXPECT_EQ(View().cursorLine, 3);
}

TEST_F(TextOperations, SortKeyIsTwelveBytesFromTheCursorColumn) {
    Open({"head", "xxxxb", "yyyya", "zz", "wwwwc000000000000002", "vvvvc000000000000001"});
    MoveTo(2, 5);
    Run(9);
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines[0], "head");
    EXPECT_EQ(lines[1], "zz");
    EXPECT_EQ(lines[2], "yyyya");
    EXPECT_EQ(lines[3], "xxxxb");
    // The last two agree in their 12 key bytes: either order is sorted.
    std::vector<std::string> tail(lines.begin() + 4, lines.end());
    std::sort(tail.begin(), tail.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"vvvvc000000000000001", "wwwwc000000000000002"}));

    // Two lines whose keys differ in the twelfth byte only come out in its order, whichever
    // stood first: a narrower key would leave them alike, and one of the two texts unsorted.
    // Two lines that differ in the thirteenth byte only are left alike, in either order: a
    // wider key would order both texts, and so rearrange them differently.
    const std::string eleven = "c0000000000";
    std::vector<std::string> rearranged;
    for (const std::string first : {"2", "1"}) {
        const std::string second = first == "2" ? "1" : "2";
        SetUp();
        Open({"head", "wwww" + eleven + first, "vvvv" + eleven + second});
        MoveTo(2, 5);
        Run(9);
        EXPECT_EQ(Lines()[1].back(), '1') << "twelfth byte, " << first << " first";
        EXPECT_EQ(Lines()[2].back(), '2') << "twelfth byte, " << first << " first";

        SetUp();
        Open({"head", "wwww" + eleven + "0" + first, "vvvv" + eleven + "0" + second});
        MoveTo(2, 5);
        Run(9);
        rearranged.push_back(Lines()[1].substr(0, 4) + Lines()[2].substr(0, 4));
    }
    EXPECT_EQ(rearranged[0], rearranged[1]) << "the thirteenth byte ordered the lines";
}

TEST_F(TextOperations, SortOnTheLastLineChangesNothing) {
    Open({"b", "a", "c"});
    MoveTo(3, 1);
    Run(9);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"b", "a", "c"}));
}

TEST_F(TextOperations, ACancelledMenuOrAnUnknownNumberOnlyRedraws) {
    Open({"  Ab  "});
    const int redraws = fakes::canvas.redraws;
    for (std::int32_t answer : {0, 10, -1}) {
        Run(answer);
    }
    EXPECT_EQ(Lines(), (std::vector<std::string>{"  Ab  "}));
    EXPECT_EQ(fakes::canvas.redraws, redraws + 3);
    EXPECT_EQ(fakes::controls.menuShown, 3);
}

// Whichever allocation fails first, every line keeps its old text or gets all of its new
// one: typing, Delete, the date and operations 1 to 6, in insert and overwrite mode.
TEST_F(TextOperations, OutOfMemoryLosesNoText) {
    const std::vector<std::string> text{"  Hello   big  World ", "o'neil 2nd", "ab", "   "};
    const std::vector<std::function<void()>> actions{[this] { Key(scan::LetterA, 'x'); },
                                                     [this] { Key(scan::Delete); },
                                                     [this] { Run(7); },
                                                     [this] { Run(1); },
                                                     [this] { Run(2); },
                                                     [this] { Run(3); },
                                                     [this] { Run(4); },
                                                     [this] { Run(5); },
                                                     [this] { Run(6); }};
    for (std::int32_t mode : {1, 0}) {
        for (std::size_t action = 0; action < actions.size(); ++action) {
            const auto start = [&] {
                fakes::controls.user[Canvas()] = {};
                Open(text);
                MoveTo(3, 2);
                insertMode = mode;
            };
            start();
            actions[action]();
            const std::vector<std::string> made = Lines();
            for (long budget = 0; budget < 40; ++budget) {
                start();
                {
                    FailAllocations failing(budget);
                    actions[action]();
                }
                for (std::size_t i = 0; i < text.size(); ++i) {
                    const std::string line = Lines()[i];
                    // The date may have moved on by a second: compare its shape only.
                    const bool whole =
                        action == 2 ? line.size() == made[i].size() : line == made[i];
                    EXPECT_TRUE(line == text[i] || whole)
                        << "action " << action << ", mode " << mode << ", after " << budget
                        << " allocations: line " << i + 1 << " is '" << line << "'";
                }
            }
        }
    }
}

} // namespace
