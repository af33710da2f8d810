#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Runs the registered benchmarks and prints, for each (measured, baseline) pair, the ratio
// of their real times per iteration: both are measured in the same run, so the ratio holds
// across machines where a bare time would not.
namespace jxbench {

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

inline int runWithRatios(int argc, char** argv, const std::vector<std::pair<std::string, std::string>>& pairs)
{
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [measured, baseline] : pairs) {
        const double base = reporter.time(baseline);
        if (base > 0)
            std::printf("ratio %s / %s = %.2f\n", measured.c_str(), baseline.c_str(), reporter.time(measured) / base);
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace jxbench
