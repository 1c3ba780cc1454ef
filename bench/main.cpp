// qxbench [--summary] [Google Benchmark flags]. With --summary, the benchmarks run quietly and
// one line per comparison follows: ours against the peer, and whether the target is met
// (exit status 1 when one is not).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchHost.h"

namespace {

struct Result {
    double itemsPerSecond = 0;
    double nanoseconds = 0; // processor time per iteration, as the rates use
};

// Every repetition of every benchmark; the summary compares their medians, so that a moment
// of a busy machine does not decide a comparison.
class Collector : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0 || run.run_type != Run::RT_Iteration) {
                continue;
            }
            Result r;
            const auto rate = run.counters.find("items_per_second");
            r.itemsPerSecond = rate != run.counters.end() ? rate->second.value : 0;
            r.nanoseconds = run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations);
            runsOf[run.run_name.str()].push_back(r);
        }
    }
    std::map<std::string, Result> medians() const {
        std::map<std::string, Result> out;
        for (const auto& [name, all] : runsOf) {
            std::vector<double> rates;
            std::vector<double> times;
            for (const Result& r : all) {
                rates.push_back(r.itemsPerSecond);
                times.push_back(r.nanoseconds);
            }
            out[name] = Result{median(rates), median(times)};
        }
        return out;
    }

private:
    static double median(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }
    std::map<std::string, std::vector<Result>> runsOf;
};

struct Comparison {
    const char* name;
    const char* ours;
    const char* peer;
    bool perPixel; // compare pixel rates; otherwise times per iteration
    double target; // pixel rates: ours/peer at least; times: see `atMost`; 0: none
    bool atMost;   // times: ours/peer at most target (else peer/ours at least target)
};

constexpr Comparison kComparisons[] = {
    {"alpha draw vs SDL2 blended blit", "BM_ours_alpha32_opacity100",
     "BM_sdl_blend_argb8888_to_rgb555", true, 1.5, false},
    {"alpha draw vs pixman OVER", "BM_ours_alpha32_opacity100", "BM_pixman_over_8888_to_x1555",
     true, 2.0, false},
    {"keyed draw vs SDL2 RLE colour-key blit", "BM_ours_keyed", "BM_sdl_rle_colorkey_rgb555", true,
     1.0, false},
    {"translucent draw vs SDL2 surface-alpha blit", "BM_ours_translucent50",
     "BM_sdl_surface_alpha_rgb555", true, 1.0, false},
    {"setOpacity unchanged vs rebuild (ns)", "BM_ours_setOpacity_unchanged",
     "BM_ours_setOpacity_new", false, 100.0, false},
    {"full frame vs copying one screen (ns)", "BM_ours_frame", "BM_floor_memcpy_screen", false,
     10.0, true},
    {"routed pointer move, 100 topic buttons (ns)", "BM_ours_pointerMove_100_topics",
     "BM_floor_memcpy_screen", false, 0.0, true},
};

int printSummary(const std::map<std::string, Result>& results) {
    int missed = 0;
    std::printf("%-46s %12s %12s %8s  %s\n", "comparison", "ours", "peer", "ratio", "target");
    for (const Comparison& c : kComparisons) {
        const auto ours = results.find(c.ours);
        const auto peer = results.find(c.peer);
        if (ours == results.end() || peer == results.end()) {
            std::printf("%-46s %12s %12s %8s  (not run)\n", c.name, "-", "-", "-");
            continue;
        }
        double a = 0;
        double b = 0;
        double ratio = 0;
        bool met = false;
        if (c.perPixel) {
            a = ours->second.itemsPerSecond / 1e6;
            b = peer->second.itemsPerSecond / 1e6;
            ratio = a / b;
            met = ratio >= c.target;
        } else {
            a = ours->second.nanoseconds;
            b = peer->second.nanoseconds;
            ratio = c.atMost ? a / b : b / a;
            met = c.atMost ? ratio <= c.target : ratio >= c.target;
        }
        if (c.target == 0) {
            std::printf("%-46s %12.1f %12.1f %8.2f  (no target)\n", c.name, a, b, ratio);
            continue;
        }
        missed += met ? 0 : 1;
        std::printf("%-46s %12.1f %12.1f %8.2f  %s %g %s\n", c.name, a, b, ratio,
                    c.atMost ? "<=" : ">=", c.target, met ? "met" : "MISSED");
    }
    std::printf("(pixel rates in Mpixel/s; times in ns per call or frame)\n");
    return missed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    bool summary = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--summary") == 0) {
            summary = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    // The summary runs every benchmark several times, interleaved at random with the others,
    // unless the command line says otherwise.
    std::vector<std::string> defaults;
    if (summary) {
        const auto given = [&](const char* flag) {
            for (char* arg : args) {
                if (std::strncmp(arg, flag, std::strlen(flag)) == 0) {
                    return true;
                }
            }
            return false;
        };
        if (!given("--benchmark_repetitions")) {
            defaults.emplace_back("--benchmark_repetitions=7");
        }
        if (!given("--benchmark_enable_random_interleaving")) {
            defaults.emplace_back("--benchmark_enable_random_interleaving=true");
        }
        if (!given("--benchmark_min_time")) {
            defaults.emplace_back("--benchmark_min_time=0.1");
        }
        for (std::string& flag : defaults) {
            args.push_back(flag.data());
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 2;
    }
    // The host's sound system needs no audio device here, and a missing one is only noise.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    qxbench::BenchHost::get();
    if (!summary) {
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    return printSummary(collector.medians());
}
