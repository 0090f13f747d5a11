// What the benchmarks share: the time a call takes, the median and the fastest of several runs.
#pragma once
#include <windows.h>
#include <algorithm>
#include <functional>
#include <vector>

// A steady clock in seconds, the same on every thread.
inline double NowSeconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds a call takes.
inline double Seconds(const std::function<void()>& call)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    call();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double Fastest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}
