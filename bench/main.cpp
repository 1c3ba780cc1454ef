// qxbench [--summary] [Google Benchmark flags]. With --summary, the benchmarks run quietly and
// the processor's name and one line per comparison follow: ours against the peer, the median
// of the paired ratios, and whether the target is met (exit status 1 when one is not).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "BenchHost.h"

namespace {

struct Result {
    double itemsPerSecond = 0;
    double nanoseconds = 0; // processor time per iteration, as the rates use
};

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Every repetition of every benchmark, in the order they ran. With random interleaving the
// n-th repetitions of all benchmarks run in one round, close in time, so a comparison pairs
// them and takes the median of the pairs' ratios: a busy moment slows both sides of a pair.
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
    std::map<std::string, std::vector<Result>> runsOf;
};

struct Comparison {
    const char* name;
    const char* ours;
    const char* peer;
    bool perPixel; // compare pixel rates; otherwise times per iteration
    double target; // pixel rates: ours/peer at least; times: see `atMost`; 0: none
    bool atMost;   // times: ours/peer at most target (else peer/ours at least target)

    double ratio(const Result& o, const Result& p) const {
        if (perPixel) {
            return o.itemsPerSecond / p.itemsPerSecond;
        }
        return atMost ? o.nanoseconds / p.nanoseconds : p.nanoseconds / o.nanoseconds;
    }
};

constexpr Comparison kComparisons[] = {
    {"alpha draw vs SDL2 blended blit", "BM_ours_alpha32_opacity100",
     "BM_sdl_blend_argb8888_to_rgb555", true, 1.5, false},
    {"alpha draw vs pixman OVER", "BM_ours_alpha32_opacity100", "BM_pixman_over_8888_to_x1555",
     true, 2.0, false},
    {"alpha gradient 1.0 vs pixman r5g6b5", "BM_ours_gradient_opacity100",
     "BM_pixman_over_gradient_to_0565", true, 3.0, false},
    {"alpha gradient 0.6 vs pixman r5g6b5 masked", "BM_ours_gradient_opacity60",
     "BM_pixman_over_gradient_masked_to_0565", true, 2.0, false},
    {"alpha picture 0.6 vs SDL2 alpha-mod", "BM_ours_alpha32_opacity60",
     "BM_sdl_blend_alphamod_argb8888_to_rgb555", true, 10.0, false},
    {"alpha 0.0 vs alpha 0.6 (cost)", "BM_ours_gradient_opacity0", "BM_ours_gradient_opacity60",
     false, 100.0, false},
    {"opaque picture vs memcpy", "BM_ours_opaque_opacity100", "BM_floor_memcpy_picture_rows", true,
     0.5, false},
    {"keyed draw vs SDL2 RLE colour-key blit", "BM_ours_keyed", "BM_sdl_rle_colorkey_rgb555", true,
     1.8, false},
    {"translucent draw vs SDL2 surface-alpha blit", "BM_ours_translucent50",
     "BM_sdl_surface_alpha_rgb555", true, 2.0, false},
    {"setOpacity unchanged vs rebuild (ns)", "BM_ours_setOpacity_unchanged",
     "BM_ours_setOpacity_new", false, 100.0, false},
    {"full frame vs copying one screen (ns)", "BM_ours_frame/100", "BM_floor_memcpy_screen", false,
     10.0, true},
    {"frame 100 topics vs screen copy", "BM_ours_frame/100", "BM_floor_memcpy_screen", false, 3.0,
     true},
    {"frame 100 topics vs 10 topics", "BM_ours_frame/100", "BM_ours_frame/10", false, 1.2, true},
    {"routed pointer move, 100 topic buttons (ns)", "BM_ours_pointerMove_100_topics",
     "BM_floor_memcpy_screen", false, 0.0, true},
};

// The processor's name as the system reports it, and whether it has AVX2, which decides the
// module's widest paths.
void printProcessor() {
    std::string model = "unknown";
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("model name", 0) == 0 && line.find(':') != std::string::npos) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    bool avx2 = false;
#if defined(__x86_64__) || defined(__i386__)
    avx2 = __builtin_cpu_supports("avx2") != 0;
#endif
    std::printf("CPU: %s, %u logical processors, AVX2 %s\n", model.c_str(),
                std::thread::hardware_concurrency(), avx2 ? "yes" : "no");
}

int printSummary(const std::map<std::string, std::vector<Result>>& runsOf) {
    int missed = 0;
    printProcessor();
    std::printf("%-46s %12s %12s %8s  %s\n", "comparison", "ours", "peer", "ratio", "target");
    for (const Comparison& c : kComparisons) {
        const auto ours = runsOf.find(c.ours);
        const auto peer = runsOf.find(c.peer);
        if (ours == runsOf.end() || peer == runsOf.end()) {
            std::printf("%-46s %12s %12s %8s  (not run)\n", c.name, "-", "-", "-");
            continue;
        }
        std::vector<double> a;
        std::vector<double> b;
        std::vector<double> ratios;
        for (std::size_t i = 0; i < std::max(ours->second.size(), peer->second.size()); ++i) {
            if (i < ours->second.size()) {
                const Result& r = ours->second[i];
                a.push_back(c.perPixel ? r.itemsPerSecond / 1e6 : r.nanoseconds);
            }
            if (i < peer->second.size()) {
                const Result& r = peer->second[i];
                b.push_back(c.perPixel ? r.itemsPerSecond / 1e6 : r.nanoseconds);
            }
            if (i < ours->second.size() && i < peer->second.size()) {
                ratios.push_back(c.ratio(ours->second[i], peer->second[i]));
            }
        }
        const double ratio = median(ratios);
        if (c.target == 0) {
            std::printf("%-46s %12.1f %12.1f %8.2f  (no target)\n", c.name, median(a), median(b),
                        ratio);
            continue;
        }
        const bool met = c.atMost ? ratio <= c.target : ratio >= c.target;
        missed += met ? 0 : 1;
        std::printf("%-46s %12.1f %12.1f %8.2f  %s %g %s\n", c.name, median(a), median(b), ratio,
                    c.atMost ? "<=" : ">=", c.target, met ? "met" : "MISSED");
    }
    std::printf("(pixel rates in Mpixel/s; times in ns per call or frame; ours and peer are the\n"
                " medians of their repetitions, the ratio the median of the paired ratios)\n");
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
    return printSummary(collector.runsOf);
}
