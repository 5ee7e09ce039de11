#pragma once

// The one output format of every benchmark: a figure and the reference it is
// measured against in the same run, as one tab-separated line that
// run-all.sh gathers into a single table.
//
//   RESULT <group> <figure> <value> <unit> <reference name> <reference value>
//
// A figure without a reference (none installed, or none exists) gives "-"
// for the reference value. Smaller values are better: the table's ratio is
// value / reference value.

#include <cstdio>
#include <string>

namespace bench {

// Tabs and line ends would break the line into the wrong fields.
inline std::string Field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text.empty() ? "-" : text;
}

inline void Result(const std::string& group, const std::string& figure, double value, const std::string& unit,
                   const std::string& reference, double referenceValue) {
    char number[64];
    if (referenceValue >= 0)
        std::snprintf(number, sizeof number, "%.4g", referenceValue);
    else
        std::snprintf(number, sizeof number, "-");
    std::printf("RESULT\t%s\t%s\t%.4g\t%s\t%s\t%s\n", Field(group).c_str(), Field(figure).c_str(), value,
                Field(unit).c_str(), Field(reference).c_str(), number);
    std::fflush(stdout);
}

// A figure with no reference to hold it against.
inline void Result(const std::string& group, const std::string& figure, double value, const std::string& unit) {
    Result(group, figure, value, unit, "-", -1);
}

}  // namespace bench
