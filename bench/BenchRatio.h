#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Ratios of a measured routine against a baseline doing the raw work, both measured in the
// same run, so that the ratio holds across machines where a bare time would not.
//
// Every ratio is printed as one line "RATIO <name> <value> <aim>" (aim "-" when none is set);
// scripts/bench gathers those lines from every program into its table.
namespace jxbench {

struct Times {
    double wallMs = 0;
    double cpuMs = 0;
};

inline double cpuNowMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Times one call of work; the process's CPU time covers every thread of this process (not a
// child process's).
inline Times timeOnce(const std::function<void()>& work)
{
    const double cpu0 = cpuNowMs();
    const auto wall0 = std::chrono::steady_clock::now();
    work();
    const auto wall1 = std::chrono::steady_clock::now();
    Times t;
    t.wallMs = std::chrono::duration<double, std::milli>(wall1 - wall0).count();
    t.cpuMs = cpuNowMs() - cpu0;
    return t;
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline void printRatio(const std::string& name, double value, double aim)
{
    if (aim > 0)
        std::printf("RATIO %s %.2f %.2f\n", name.c_str(), value, aim);
    else
        std::printf("RATIO %s %.2f -\n", name.c_str(), value);
    std::fflush(stdout);
}

// One measured routine against its baseline. prepare runs untimed before every timed call of
// either (fresh files to stamp, an emptied database …).
struct Pair {
    std::string name;
    double aim = 0; // 0: no aim, reported only
    std::function<void()> measured;
    std::function<void()> baseline;
    std::function<void()> prepare = {};
    int pairs = 5;
    bool warmUp = true;
};

// Runs the pair interleaved (measured, baseline, measured, baseline …) after one untimed
// warm-up of each, so that the machine's drift falls on both; the ratio is the median of the
// pairs' wall-time ratios. Prints each pair's wall and CPU times, then the RATIO line.
inline double runPair(const Pair& p)
{
    auto prepared = [&p](const std::function<void()>& work) {
        if (p.prepare)
            p.prepare();
        return timeOnce(work);
    };
    if (p.warmUp) {
        prepared(p.measured);
        prepared(p.baseline);
    }
    std::vector<double> ratios;
    std::vector<double> mWall, mCpu, bWall, bCpu;
    for (int i = 0; i < p.pairs; ++i) {
        const Times m = prepared(p.measured);
        const Times b = prepared(p.baseline);
        mWall.push_back(m.wallMs);
        mCpu.push_back(m.cpuMs);
        bWall.push_back(b.wallMs);
        bCpu.push_back(b.cpuMs);
        if (b.wallMs > 0)
            ratios.push_back(m.wallMs / b.wallMs);
    }
    const double value = median(ratios);
    std::printf("%s: measured wall %.1f ms, cpu %.1f ms; baseline wall %.1f ms, cpu %.1f ms (medians of %d pairs)\n",
        p.name.c_str(), median(mWall), median(mCpu), median(bWall), median(bCpu), p.pairs);
    printRatio(p.name, value, p.aim);
    return value;
}

// The Google Benchmark programs without an aim: each (measured, baseline) pair of benchmark
// names is reported as a RATIO line named after the measured one.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const
    {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_times;
};

inline std::string ratioName(const std::string& program, const std::string& benchmarkName)
{
    std::string n = benchmarkName.substr(0, benchmarkName.find('/'));
    if (n.rfind("BM_", 0) == 0)
        n = n.substr(3);
    return program + "." + n;
}

inline int runWithRatios(int argc, char** argv, const std::vector<std::pair<std::string, std::string>>& pairs,
    const std::string& program = "bench")
{
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [measured, baseline] : pairs) {
        const double base = reporter.time(baseline);
        if (base > 0)
            printRatio(ratioName(program, measured), reporter.time(measured) / base, 0);
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace jxbench
