// Our code against its peers, measured so that neither side gains from its place in the run:
// each row's sides run in turn, in an order that rotates from round to round, and the table gives
// each side's median over the rounds and the ratio ours / peer. Every row names its peer.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace paired {

using Body = std::function<void(benchmark::State&)>;

struct Side {
    std::string label; // how the output names it: "ours", or what the peer is
    Body body;
};

struct Row {
    std::string name;
    Side ours;
    std::vector<Side> peers;
    bool realTime = false; // wall-clock time (for work that waits on the disk); else CPU time
    double minSeconds = 0.2;
};

inline std::vector<Row>& Rows() {
    static std::vector<Row> rows;
    return rows;
}

inline void Add(Row row) {
    Rows().push_back(std::move(row));
}

// Keeps every run's seconds per iteration under "row|side".
class Collector : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            const std::string name = run.benchmark_name();
            const std::string key = name.substr(0, name.rfind('|'));
            const double seconds =
                realTime_.at(key) ? run.real_accumulated_time : run.cpu_accumulated_time;
            seconds_[key].push_back(seconds / double(run.iterations));
            std::fprintf(stderr, ".");
        }
    }
    void UseRealTime(const std::string& key, bool realTime) { realTime_[key] = realTime; }
    // Median in microseconds; 0 when the side never ran.
    double MedianMicroseconds(const std::string& key) {
        std::vector<double>& v = seconds_[key];
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return 1e6 * (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
    }

private:
    std::map<std::string, std::vector<double>> seconds_;
    std::map<std::string, bool> realTime_;
};

inline int Run(int argc, char** argv, const char* title, int rounds = 5) {
    benchmark::Initialize(&argc, argv);
    Collector collector;
    for (int round = 0; round < rounds; ++round) {
        for (const Row& row : Rows()) {
            std::vector<const Side*> sides = {&row.ours};
            for (const Side& peer : row.peers) sides.push_back(&peer);
            std::rotate(sides.begin(), sides.begin() + round % int(sides.size()), sides.end());
            for (const Side* side : sides) {
                const std::string key = row.name + "|" + side->label;
                collector.UseRealTime(key, row.realTime);
                auto* b = benchmark::RegisterBenchmark((key + "|" + std::to_string(round)).c_str(),
                                                       side->body);
                b->MinTime(row.minSeconds);
                if (row.realTime) b->UseRealTime();
            }
        }
    }
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::fprintf(stderr, "\n");
    std::printf("%s\nmedians of %d rounds, sides in rotating order; %s\n\n", title, rounds,
                "CPU time, or wall-clock time where marked (wall)");
    std::printf("%-30s %12s %12s %9s  %s\n", "", "ours (us)", "peer (us)", "ours/peer", "peer");
    for (const Row& row : Rows()) {
        const double ours = collector.MedianMicroseconds(row.name + "|" + row.ours.label);
        for (const Side& peer : row.peers) {
            const double theirs = collector.MedianMicroseconds(row.name + "|" + peer.label);
            const std::string name = row.name + (row.realTime ? " (wall)" : "");
            std::printf("%-30s %12.1f %12.1f %9.2f  %s\n", name.c_str(), ours, theirs,
                        theirs > 0 ? ours / theirs : 0.0, peer.label.c_str());
        }
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace paired
