// The editor's "sort from the cursor" over a million lines with 12-byte keys, in eight
// orders: random, sorted, reversed and equal keys, and four that drive a middle-pivot
// quicksort towards n² comparisons (organ pipe, two interleaved sorted runs, a sawtooth and
// the median-of-three killer). Beside each, GNU sort (C locale, one thread) on the same
// keys: natively it is run here and its times are written to the peer file; the Windows
// build, run under Wine, reads them from there.
//
// Each figure is the best of --runs runs, ours and the peer's alike: the machines these run
// on are shared, and the best run is the one least disturbed.
//
//   sort_bench [--lines N] [--runs N] [--seconds S] [--ratio R] [--peer-file PATH]
#include "bench/BenchReport.h"
#include "editor/TextOperations.h"
#include "runtime/StringArray.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

#ifdef _WIN32
const char* const kWhere = "Wine";
const char* const kPeer = "native GNU sort";
#else
const char* const kWhere = "native";
const char* const kPeer = "GNU sort";
#endif

constexpr std::int32_t kSortCommand = 9;

const char* const kOrders[] = {"random",     "sorted",
                               "reversed",   "equal",
                               "organ pipe", "two interleaved runs",
                               "sawtooth",   "median-of-3 killer"};

// The numbers whose order the keys take, for the orders made of numbers.
std::vector<std::int32_t> Numbers(const std::string& order, std::int32_t n) {
    std::vector<std::int32_t> values(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        std::int32_t& value = values[static_cast<std::size_t>(i)];
        if (order == "sorted") {
            value = i;
        } else if (order == "reversed") {
            value = n - i;
        } else if (order == "organ pipe") {
            value = i < n / 2 ? i : n - i;
        } else if (order == "two interleaved runs") {
            value = i % 2 == 0 ? i / 2 : n / 2 + i / 2;
        } else if (order == "sawtooth") {
            value = i % 1000;
        }
    }
    if (order == "median-of-3 killer") {
        // For k = n / 2: positions 1..k hold i and k + i at odd i, positions k + 1..2k the
        // even numbers (1-based).
        const std::int32_t k = n / 2;
        for (std::int32_t i = 1; i <= k; ++i) {
            if (i % 2 == 1) {
                values[static_cast<std::size_t>(i - 1)] = i;
                values[static_cast<std::size_t>(i)] = k + i;
            }
            values[static_cast<std::size_t>(k + i - 1)] = 2 * i;
        }
    }
    return values;
}

std::vector<std::string> Keys(const std::string& order, std::int32_t n, std::mt19937& random) {
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(n));
    std::uniform_int_distribution<int> letter('a', 'z');
    const std::vector<std::int32_t> numbers = Numbers(order, n);
    for (std::int32_t i = 0; i < n; ++i) {
        std::string key;
        if (order == "equal") {
            key = "samekey12345";
        } else if (order == "random") {
            for (int k = 0; k < 12; ++k) {
                key += static_cast<char>(letter(random));
            }
        } else {
            char text[16];
            std::snprintf(text, sizeof text, "%012d", numbers[static_cast<std::size_t>(i)]);
            key = text;
        }
        keys.push_back(key);
    }
    return keys;
}

// Lines 1..n of key + a tail that must not count: the sort looks at 12 bytes only.
void Fill(StringArray& lines, const std::vector<std::string>& keys, std::mt19937& random) {
    const auto n = static_cast<std::int32_t>(keys.size());
    ArrayRedim(lines, 0, n);
    for (std::int32_t i = 1; i <= n; ++i) {
        const std::string line =
            keys[static_cast<std::size_t>(i - 1)] + " tail " + std::to_string(random() % 1000);
        lines[i] = DynString(std::string_view(line));
    }
}

bool Sorted(const StringArray& lines) {
    for (std::int32_t i = 2; i <= ArrayUpperBound(lines); ++i) {
        if (lines[i - 1].View().substr(0, 12) > lines[i].View().substr(0, 12)) {
            return false;
        }
    }
    return true;
}

#ifndef _WIN32
// Seconds that GNU sort takes over the keys, one a line, written out beside the peer file,
// at best of runs; negative when it cannot be run.
double PeerSeconds(const std::vector<std::string>& keys, const std::string& peerFile, int runs) {
    const std::string input = peerFile + ".keys";
    {
        std::ofstream out(input, std::ios::binary);
        for (const std::string& key : keys) {
            out << key << '\n';
        }
    }
    const std::string command = "LC_ALL=C sort --parallel=1 -o /dev/null '" + input + "'";
    double best = -1;
    for (int run = 0; run < runs; ++run) {
        const double start = NowSeconds();
        const int status = std::system(command.c_str());
        const double seconds = NowSeconds() - start;
        if (status != 0) {
            break;
        }
        best = best < 0 || seconds < best ? seconds : best;
    }
    std::remove(input.c_str());
    return best;
}

#else
// The peer's seconds by order, as written by the native run ("seconds<TAB>order" lines).
std::map<std::string, double> ReadPeerTimes(const std::string& peerFile) {
    std::map<std::string, double> times;
    std::ifstream in(peerFile);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            times[line.substr(tab + 1)] = std::atof(line.substr(0, tab).c_str());
        }
    }
    return times;
}
#endif

} // namespace

int main(int argc, char** argv) {
    std::int32_t n = 1000000;
    double target = 1.0;
    double ratioTarget = 1.5;
    std::string peerFile;
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--lines") {
            n = std::atoi(argv[i + 1]);
        } else if (flag == "--seconds") {
            target = std::atof(argv[i + 1]);
        } else if (flag == "--ratio") {
            ratioTarget = std::atof(argv[i + 1]);
        } else if (flag == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (flag == "--peer-file") {
            peerFile = argv[i + 1];
        }
    }
    std::mt19937 random(1234);
    StringArray lines;
    int failures = 0;
#ifdef _WIN32
    std::map<std::string, double> peer = ReadPeerTimes(peerFile);
#else
    std::map<std::string, double> peer;
    std::ofstream peerOut;
    if (!peerFile.empty()) {
        peerOut.open(peerFile, std::ios::trunc);
    }
#endif
    for (const char* order : kOrders) {
        const std::vector<std::string> keys = Keys(order, n, random);
#ifndef _WIN32
        if (!peerFile.empty()) {
            peer[order] = PeerSeconds(keys, peerFile, runs);
            peerOut << peer[order] << '\t' << order << '\n';
        }
#endif
        double seconds = 0;
        for (int run = 0; run < runs; ++run) {
            Fill(lines, keys, random);
            const double start = NowSeconds();
            RunTextOperation(kSortCommand, lines, 1, 1, 1);
            const double elapsed = NowSeconds() - start;
            seconds = run == 0 || elapsed < seconds ? elapsed : seconds;
        }
        if (!Sorted(lines)) {
            std::fprintf(stderr, "%s keys: the lines are not in order\n", order);
            ++failures;
        }
        const std::string measure =
            "Sort " + std::to_string(n / 1000) + "k lines, " + order + ", " + kWhere;
        const auto found = peer.find(order);
        if (found == peer.end() || found->second <= 0) {
            ReportRow(measure, Fixed(seconds, 3) + " s", "<= " + Fixed(target, 1) + " s",
                      seconds <= target);
            continue;
        }
        const double ratio = seconds / found->second;
        ReportRow(measure,
                  Fixed(seconds, 3) + " s; " + kPeer + " " + Fixed(found->second, 3) + " s; " +
                      Fixed(ratio, 2) + "x",
                  "<= " + Fixed(target, 1) + " s, <= " + Fixed(ratioTarget, 1) + "x",
                  seconds <= target && ratio <= ratioTarget);
    }
    ArrayErase(lines);
    return failures == 0 ? 0 : 1;
}
