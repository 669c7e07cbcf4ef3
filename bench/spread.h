#pragma once

// A bench figure taken several times: its median with the least and the most take, so that a reader sees how
// much the machine moved it. Each figure is printed as "median (least .. most)" and, when the environment
// names a file in WARDEL_BENCH_CSV (scripts/bench.sh does), appended there as a line
// "name",median,least,most,unit.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace wardel::bench {

struct Spread {
    double median = 0;
    double least = 0;
    double most = 0;
};

inline Spread spreadOf(std::vector<double> takes) {
    if (takes.empty())
        return {};
    std::sort(takes.begin(), takes.end());
    return {takes[takes.size() / 2], takes.front(), takes.back()};
}

// One line of the program's report, `name` padded to `width`, and its CSV line.
inline void report(const std::string& name, const Spread& s, const char* unit, int width = 40,
                   const char* format = "%.1f") {
    const std::string value = std::string(format) + " (" + format + " .. " + format + ")";
    std::printf("  %-*s ", width, name.c_str());
    std::printf(value.c_str(), s.median, s.least, s.most);
    std::printf(" %s\n", unit);
    std::fflush(stdout);
    if (const char* csv = std::getenv("WARDEL_BENCH_CSV"); csv && *csv) {
        if (std::FILE* out = std::fopen(csv, "a")) {
            std::fprintf(out, "\"%s\",%g,%g,%g,%s\n", name.c_str(), s.median, s.least, s.most, unit);
            std::fclose(out);
        }
    }
}

// The takes of a figure divided, round by round, by the takes of its floor taken between them.
inline std::vector<double> ratios(const std::vector<double>& figure, const std::vector<double>& floor) {
    std::vector<double> out;
    for (std::size_t i = 0; i < figure.size() && i < floor.size(); ++i)
        if (floor[i] > 0)
            out.push_back(figure[i] / floor[i]);
    return out;
}

} // namespace wardel::bench
