// Loading a text file as the editor does (LoadTextFile: 128-byte reads, OEM to ANSI),
// timed, with the memory each line costs beyond its own bytes.
//
//   load_bench PATH NAME [--runs N] [--seconds S] [--overhead B] [--breakdown]
//
// --seconds and --overhead give the targets; --breakdown also times the steps of a load
// one by one, and the same reads with a 64 KiB buffer, to show what the 128-byte reads cost.
#include "bench/BenchReport.h"
#include "bench/ProcessMemory.h"
#include "editor/ProgramState.h"
#include "editor/TextLoading.h"
#include "platform/Platform.h"
#include "runtime/ApiCallGate.h"
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
    double seconds = 0;  // target; 0 for none
    double overhead = 0; // target; 0 for none
    bool breakdown = false;
};

bool Parse(int argc, char** argv, Options& options) {
    if (argc < 3)
        return false;
    options.path = argv[1];
    options.name = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        if (flag == "--runs" && hasValue)
            options.runs = std::max(1, std::atoi(argv[++i]));
        else if (flag == "--seconds" && hasValue)
            options.seconds = std::atof(argv[++i]);
        else if (flag == "--overhead" && hasValue)
            options.overhead = std::atof(argv[++i]);
        else if (flag == "--breakdown")
            options.breakdown = true;
        else
            return false;
    }
    return true;
}

std::uint64_t LineBytes(const StringArray& lines) {
    std::uint64_t total = 0;
    for (std::int32_t i = 0; i <= ArrayUpperBound(lines); ++i)
        total += lines[i].Length();
    return total;
}

std::string Count(double value) {
    return value >= 1e6 ? Fixed(value / 1e6, 2) + "M" : Fixed(value / 1e3, 1) + "k";
}

// The steps of LoadTextFile one at a time, with the read buffer of the given size.
struct StepTimes {
    double count = 0;
    double reads = 0;
    double conversion = 0;
};

StepTimes TimeSteps(const DynString& name, std::int32_t bufferSize) {
    StepTimes times;
    StringArray lines;
    double start = NowSeconds();
    FileOpen(name, 1, kFileEditorInput, bufferSize, 1);
    const auto n = static_cast<std::int32_t>(FileLineCount(1).count);
    times.count = NowSeconds() - start;

    start = NowSeconds();
    ArrayRedim(lines, 0, n);
    for (std::int32_t i = 1; i <= n; ++i)
        lines[i] = FileReadLine(1);
    FileClose(1);
    times.reads = NowSeconds() - start;

    start = NowSeconds();
    for (std::int32_t i = 1; i <= n; ++i) {
        if (char* bytes = lines[i].MutableBytes(); bytes != nullptr)
            OemToCharA(bytes, bytes);
    }
    times.conversion = NowSeconds() - start;
    return times;
}

// The platform's share of a 128-byte refill: position and read, without the runtime.
double TimeBareRefills(const std::string& path, std::uint64_t& refills) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char buffer[128];
    std::int64_t offset = 0;
    refills = 0;
    const double start = NowSeconds();
    for (;;) {
        LONG high = static_cast<LONG>(offset >> 32);
        SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr) || got == 0)
            break;
        offset += got;
        ++refills;
    }
    const double seconds = NowSeconds() - start;
    CloseHandle(file);
    return seconds;
}

// The runtime's own share of each system call: the gate around an empty call.
double TimeGate(std::uint64_t calls) {
    const double start = NowSeconds();
    for (std::uint64_t i = 0; i < calls; ++i)
        ApiCallGate([] { return 0; });
    return NowSeconds() - start;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: load_bench PATH NAME [--runs N] [--seconds S] "
                             "[--overhead B] [--breakdown]\n");
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
    if (options.seconds > 0)
        ReportRow(measure, Fixed(median, 2) + " s", "<= " + Fixed(options.seconds, 1) + " s",
                  median <= options.seconds);
    else
        ReportRow(measure, Fixed(median, 2) + " s");
    const std::string memory = "  memory per line beyond its bytes, " + std::string(kWhere);
    if (options.overhead > 0)
        ReportRow(memory, Fixed(overhead, 1) + " B", "<= " + Fixed(options.overhead, 0) + " B",
                  overhead <= options.overhead);
    else
        ReportRow(memory, Fixed(overhead, 1) + " B");
    ReportRow("  peak memory of the process, " + std::string(kWhere),
              Fixed(static_cast<double>(PeakMemoryBytes()) / (1 << 20), 0) + " MiB");

    if (options.breakdown) {
        ArrayErase(LineArray);
        const StepTimes small = TimeSteps(path, 128);
        const StepTimes large = TimeSteps(path, 65536);
        ReportRow("  of which line count (64 KiB scan)", Fixed(small.count, 2) + " s");
        ReportRow("  of which line reads, 128 B refills", Fixed(small.reads, 2) + " s");
        ReportRow("  of which OEM to ANSI conversion", Fixed(small.conversion, 2) + " s");
        ReportRow("  line reads with 64 KiB refills instead", Fixed(large.reads, 2) + " s");
        std::uint64_t refills = 0;
        const double bare = TimeBareRefills(options.path, refills);
        ReportRow("  bare SetFilePointer+ReadFile of 128 B, " +
                      Count(static_cast<double>(refills)) + " refills",
                  Fixed(bare, 2) + " s");
        ReportRow("  the call gate around " + Count(2.0 * static_cast<double>(refills)) +
                      " empty calls",
                  Fixed(TimeGate(2 * refills), 2) + " s");
    }
    ArrayErase(LineArray);
    return 0;
}
