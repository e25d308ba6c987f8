// What every benchmark program shares: a monotonic clock and the result rows that
// scripts/bench.sh gathers into its table.
#pragma once

#include <cstdint>
#include <string>

// Seconds since an arbitrary start, at the platform's finest resolution.
double NowSeconds() noexcept;

// One row of the table: what was measured, the value, the target and whether it is met.
// Printed as a tab-separated line starting with "ROW".
void ReportRow(const std::string& measure, const std::string& value, const std::string& target,
               bool met);
// A row without a target.
void ReportRow(const std::string& measure, const std::string& value);

std::string Fixed(double value, int decimals);
