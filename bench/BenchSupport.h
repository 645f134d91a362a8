// What every benchmark program here shares: the --db argument and a console
// reporter that keeps each run's time for the ratio lines printed at the end.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace bench {

// The connection string of --db, else PROMO_DB; "" after printing the usage.
inline std::string ConnInfo(int argc, char** argv, const char* program) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--db") == 0) return argv[i + 1];
    if (const char* env = std::getenv("PROMO_DB")) return env;
    std::fprintf(stderr, "uso: %s --db \"host=... dbname=...\" (o PROMO_DB)\nvedi scripts/bench.sh\n", program);
    return {};
}

// Keeps the time per iteration of every run, in ms or whatever unit the
// benchmark reports, under "BM_Name" or "BM_Name/arg".
class TimesReporter : public benchmark::ConsoleReporter {
public:
    TimesReporter() : ConsoleReporter(OO_Tabular) {}  // no colour codes in logs
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration) continue;
            std::string key = r.run_name.function_name;
            if (!r.run_name.args.empty()) key += "/" + r.run_name.args;
            real[key] = r.GetAdjustedRealTime();
            cpu[key] = r.GetAdjustedCPUTime();
        }
    }
    // 0 for a benchmark that did not run.
    double Real(const std::string& key) const { return Get(real, key); }
    double Cpu(const std::string& key) const { return Get(cpu, key); }

    std::map<std::string, double> real, cpu;

private:
    static double Get(const std::map<std::string, double>& m, const std::string& key) {
        const auto it = m.find(key);
        return it == m.end() ? 0 : it->second;
    }
};

// Runs the registered benchmarks into rep; --db and its value are ours, not
// Google Benchmark's.
inline void RunAll(int argc, char** argv, TimesReporter& rep) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--db") == 0 && i + 1 < argc) ++i;
        else args.push_back(argv[i]);
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RunSpecifiedBenchmarks(&rep);
    benchmark::Shutdown();
}

}  // namespace bench
