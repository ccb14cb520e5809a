// What the benchmark programs share: a clock in milliseconds, the median of several runs, and
// the rows of the table that scripts/bench.sh prints.
#pragma once

#include <algorithm>
#include <chrono>
#include <stdio.h>
#include <vector>

namespace bench
{

// Milliseconds since an arbitrary start, from the steady clock (the performance counter).
inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    size_t nMiddle = values.size() / 2;
    return values.size() % 2 != 0 ? values[nMiddle] : (values[nMiddle - 1] + values[nMiddle]) / 2;
}

// One row of the table: what was measured, the figure, and how it was taken.
inline void PrintRow(const char* pszWhat, const char* pszFigure, const char* pszHow)
{
    printf("| %s | %s | %s |\n", pszWhat, pszFigure, pszHow);
    fflush(stdout);
}

} // namespace bench
