#include "bench/BenchReport.h"

#include "platform/Platform.h"

#include <chrono>
#include <cstdio>

double NowSeconds() noexcept {
#ifdef _WIN32
    LARGE_INTEGER frequency{};
    LARGE_INTEGER now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
#else
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
#endif
}

void ReportRow(const std::string& measure, const std::string& value, const std::string& target,
               bool met) {
    std::printf("ROW\t%s\t%s\t%s\t%s\n", measure.c_str(), value.c_str(), target.c_str(),
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

void ReportRow(const std::string& measure, const std::string& value) {
    std::printf("ROW\t%s\t%s\t-\t-\n", measure.c_str(), value.c_str());
    std::fflush(stdout);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}
