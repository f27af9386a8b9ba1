// Console output as usual, and the CPU times kept, so a benchmark program can print the ratio
// ours / SDL of every operation measured as BM_Ours_<op> beside BM_SDL_<op> in the same run.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

class OursVsSdlReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                nanoseconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    void PrintRatios(std::initializer_list<const char*> operations) const {
        std::printf("\n%-10s %14s %14s %8s\n", "", "ours (us CPU)", "SDL (us CPU)", "ours/SDL");
        for (const char* op : operations) {
            auto ours = nanoseconds_.find(std::string("BM_Ours_") + op);
            auto sdl = nanoseconds_.find(std::string("BM_SDL_") + op);
            if (ours == nanoseconds_.end() || sdl == nanoseconds_.end()) continue;
            std::printf("%-10s %14.1f %14.1f %8.2f\n", op, ours->second / 1000, sdl->second / 1000,
                        ours->second / sdl->second);
        }
    }

private:
    std::map<std::string, double> nanoseconds_;
};
