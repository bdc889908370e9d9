// Shared by the bench tools: a millisecond clock on QueryPerformanceCounter, and summaries of repeated samples.
#pragma once
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <vector>

inline double NowMs()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

// The median of an even count is the mean of the two middle samples.
inline double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// One Markdown table row: | label | median | min - max | n |.
inline void PrintRow(const char *label, const std::vector<double> &samples, const char *unit, int decimals)
{
    if (samples.empty()) {
        std::printf("| %s | no samples | | 0 |\n", label);
        return;
    }
    auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    std::printf("| %s | %.*f %s | %.*f - %.*f | %zu |\n", label, decimals, Median(samples), unit, decimals, *low,
                decimals, *high, samples.size());
    std::fflush(stdout);
}
