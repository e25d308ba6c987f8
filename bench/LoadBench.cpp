// Loading a text file as the editor does (LoadTextFile), timed beside a peer's time on the
// same file, with the memory each line costs beyond its own bytes.
//
//   load_bench PATH NAME [--runs N] [--peer NAME SECONDS] [--ratio R] [--per-line NS]
//                        [--overhead B] [--breakdown]
//
// --peer gives the peer's time measured in the same run, --ratio the target as a share of
// it, --per-line the target time of one line, --overhead the memory target; --breakdown also
// times the steps of a load one by one, and the reads of a file that others may write, which
// re-read 128 bytes at a time.
#include "bench/BenchReport.h"
#include "bench/ProcessMemory.h"
#include "editor/OemConversion.h"
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "runtime/StringArray.h"
#include "runtime/TextFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

#ifdef _WIN32
const char* const kWhere = "Wine";
#else
const char* const kWhere = "native";
#endif

struct Options {
    std::string path;
    std::string name;
    int runs = 1;
    std::string peer;
    double peerSeconds = 0; // 0 for no peer
    double ratio = 0;       // target as a share of the peer's time; 0 for none
    double perLine = 0;     // target nanoseconds per line; 0 for none
    double overhead = 0;    // target; 0 for none
    bool breakdown = false;
};

bool Parse(int argc, char** argv, Options& options) {
    if (argc < 3) {
        return false;
    }
    options.path = argv[1];
    options.name = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        if (flag == "--runs" && hasValue) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (flag == "--peer" && i + 2 < argc) {
            options.peer = argv[++i];
            options.peerSeconds = std::atof(argv[++i]);
        } else if (flag == "--ratio" && hasValue) {
            options.ratio = std::atof(argv[++i]);
        } else if (flag == "--per-line" && hasValue) {
            options.perLine = std::atof(argv[++i]);
        } else if (flag == "--overhead" && hasValue) {
            options.overhead = std::atof(argv[++i]);
        } else if (flag == "--breakdown") {
            options.breakdown = true;
        } else {
            return false;
        }
    }
    return true;
}

std::uint64_t LineBytes(const StringArray& lines) {
    std::uint64_t total = 0;
    for (std::int32_t i = 0; i <= ArrayUpperBound(lines); ++i) {
        total += lines[i].Length();
    }
    return total;
}

// A row against an upper bound, shown as bound; without a target where most is 0.
void ReportAtMost(const std::string& measure, const std::string& value, double measured,
                  double most, const std::string& bound) {
    if (most > 0) {
        ReportRow(measure, value, "<= " + bound, measured <= most);
    } else {
        ReportRow(measure, value);
    }
}

std::string Count(double value) {
    return value >= 1e6 ? Fixed(value / 1e6, 2) + "M" : Fixed(value / 1e3, 1) + "k";
}

// The steps of LoadTextFile one at a time, the file opened with the given mode word.
struct StepTimes {
    double count = 0;
    double reads = 0;
    double conversion = 0;
};

StepTimes TimeSteps(const DynString& name, std::uint16_t mode) {
    StepTimes times;
    StringArray lines;
    double start = NowSeconds();
    FileOpen(name, 1, mode, 128, 1);
    const auto n = static_cast<std::int32_t>(FileLineCount(1).count);
    times.count = NowSeconds() - start;

    start = NowSeconds();
    ArrayRedim(lines, 0, n);
    for (std::int32_t i = 1; i <= n; ++i) {
        lines[i] = FileReadLine(1);
    }
    FileClose(1);
    times.reads = NowSeconds() - start;

    start = NowSeconds();
    for (std::int32_t i = 1; i <= n; ++i) {
        if (char* bytes = lines[i].MutableBytes(); bytes != nullptr) {
            ConvertOemToAnsi(bytes, lines[i].Length());
        }
    }
    times.conversion = NowSeconds() - start;
    return times;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: load_bench PATH NAME [--runs N] [--peer NAME SECONDS] "
                             "[--ratio R] [--per-line NS] [--overhead B] [--breakdown]\n");
        return 2;
    }
    const DynString path(options.path.c_str());

    std::vector<double> times;
    double overhead = 0;
    std::int32_t lineCount = 0;
    for (int run = 0; run < options.runs; ++run) {
        ArrayErase(LineArray);
        const std::uint64_t before = HeapBytesInUse();
        const double start = NowSeconds();
        LoadTextFile(path);
        times.push_back(NowSeconds() - start);
        const std::uint64_t after = HeapBytesInUse();
        lineCount = ArrayUpperBound(LineArray);
        if (run == 0 && lineCount > 0) {
            const double held = static_cast<double>(after) - static_cast<double>(before);
            overhead = (held - static_cast<double>(LineBytes(LineArray))) / lineCount;
        }
    }
    if (lineCount <= 0) {
        std::fprintf(stderr, "%s: no lines loaded\n", options.path.c_str());
        return 1;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const std::string measure =
        "Load " + options.name + " (" + Count(lineCount) + " lines), " + kWhere;
    if (options.peerSeconds > 0) {
        const double ratio = median / options.peerSeconds;
        const std::string value = Fixed(median, 2) + " s = " + Fixed(ratio, 2) + "x " +
                                  options.peer + " " + Fixed(options.peerSeconds, 2) + " s";
        ReportAtMost(measure, value, ratio, options.ratio,
                     Fixed(options.ratio, 2) + "x " + options.peer);
    } else {
        ReportRow(measure, Fixed(median, 2) + " s");
    }
    const double nanoseconds = median * 1e9 / lineCount;
    const std::string perLine = "  time per line, " + std::string(kWhere);
    ReportAtMost(perLine, Fixed(nanoseconds, 0) + " ns", nanoseconds, options.perLine,
                 Fixed(options.perLine, 0) + " ns");
    const std::string memory = "  memory per line beyond its bytes, " + std::string(kWhere);
    ReportAtMost(memory, Fixed(overhead, 1) + " B", overhead, options.overhead,
                 Fixed(options.overhead, 0) + " B");
    ReportRow("  peak memory of the process, " + std::string(kWhere),
              Fixed(static_cast<double>(PeakMemoryBytes()) / (1 << 20), 0) + " MiB");

    if (options.breakdown) {
        ArrayErase(LineArray);
        const StepTimes held = TimeSteps(path, kFileEditorInput);
        const StepTimes shared = TimeSteps(path, 0x0184);
        ReportRow("  of which line count (64 KiB scan)", Fixed(held.count, 2) + " s");
        ReportRow("  of which line reads, read ahead", Fixed(held.reads, 2) + " s");
        ReportRow("  of which OEM to ANSI conversion", Fixed(held.conversion, 2) + " s");
        ReportRow("  line reads of a file others may write (128 B re-reads)",
                  Fixed(shared.reads, 2) + " s");
    }
    ArrayErase(LineArray);
    return 0;
}
