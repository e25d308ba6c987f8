// The editor's "sort from the cursor" over a million lines with 12-byte keys: random keys,
// keys already in order, keys in reverse order and all keys equal.
//
//   sort_bench [--lines N] [--seconds S]
#include "bench/BenchReport.h"
#include "editor/TextOperations.h"
#include "runtime/StringArray.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

#ifdef _WIN32
const char* const kWhere = "Wine";
#else
const char* const kWhere = "native";
#endif

constexpr std::int32_t kSortCommand = 9;

// Lines 1..n of "key" + a tail that must not count: the sort looks at 12 bytes only.
void Fill(StringArray& lines, std::int32_t n, const char* order, std::mt19937& random) {
    ArrayRedim(lines, 0, n);
    std::uniform_int_distribution<int> letter('a', 'z');
    for (std::int32_t i = 1; i <= n; ++i) {
        std::string line;
        const std::string kind = order;
        if (kind == "equal") {
            line = "samekey12345";
        } else if (kind == "random") {
            for (int k = 0; k < 12; ++k)
                line += static_cast<char>(letter(random));
        } else {
            char key[16];
            std::snprintf(key, sizeof key, "%012d", kind == "sorted" ? i : n - i);
            line = key;
        }
        line += " tail " + std::to_string(random() % 1000);
        lines[i] = DynString(std::string_view(line));
    }
}

bool Sorted(const StringArray& lines) {
    for (std::int32_t i = 2; i <= ArrayUpperBound(lines); ++i) {
        if (lines[i - 1].View().substr(0, 12) > lines[i].View().substr(0, 12))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::int32_t n = 1000000;
    double target = 1.0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--lines")
            n = std::atoi(argv[i + 1]);
        else if (flag == "--seconds")
            target = std::atof(argv[i + 1]);
    }
    std::mt19937 random(1234);
    StringArray lines;
    int failures = 0;
    for (const char* order : {"random", "sorted", "reversed", "equal"}) {
        Fill(lines, n, order, random);
        const double start = NowSeconds();
        RunTextOperation(kSortCommand, lines, 1, 1, 1);
        const double seconds = NowSeconds() - start;
        if (!Sorted(lines)) {
            std::fprintf(stderr, "%s keys: the lines are not in order\n", order);
            ++failures;
        }
        ReportRow("Sort " + std::to_string(n / 1000) + "k lines, " + order + " keys, " + kWhere,
                  Fixed(seconds, 3) + " s", "<= " + Fixed(target, 1) + " s", seconds <= target);
    }
    ArrayErase(lines);
    return failures == 0 ? 0 : 1;
}
