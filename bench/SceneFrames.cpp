// Whole frames and routed pointer moves of the demo scene, run through the built module as
// the host runs it, with a bar of 10, 50 or 100 topics. The demo data is the build's own
// (BUILD/data/demo) unless QX_BENCH_DATA names another folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "BenchHost.h"
#include "services/HostServices.h"
#include "session/SceneSession.h"

namespace qxbench {

namespace {

// A topics file of `count` topics for the demo data; 100 is the most the bar takes.
std::string topicsFile(int count) {
    const std::string path =
        std::string(QX_BENCH_BINARY_DIR) + "/bench-topics-" + std::to_string(count) + ".txt";
    std::ofstream out(path);
    for (int i = 0; i < count; ++i) {
        out << "t" << i << " | " << (i % 7 == 0 ? 1 : 0) << " | Topic " << i << "\n";
    }
    return path;
}

// Titles far longer than the screen: one of 20 MB first, or 100 of 10 KB.
std::string longTitlesFile(bool oneHuge) {
    const std::string path = std::string(QX_BENCH_BINARY_DIR) + "/bench-topics-long-" +
                             (oneHuge ? "20MB" : "100x10KB") + ".txt";
    std::ofstream out(path);
    if (oneHuge) {
        out << "huge | 0 | " << std::string(20u << 20, 'W') << "\n";
    }
    for (int i = 0; i < (oneHuge ? 20 : 100); ++i) {
        out << "t" << i << " | 0 | ";
        for (int n = 0; n < (oneHuge ? 1 : 1000); ++n) {
            out << "Topic " << i << " ";
        }
        out << "\n";
    }
    return path;
}

// A session for one benchmark; the benchmark host is bound again when it ends, because a
// host binds the process's support layer to itself.
class Session {
public:
    Session(benchmark::State& state, int topics) : Session(state, topicsFile(topics)) {}
    Session(benchmark::State& state, const std::string& topicsPath) {
        qxhost::SessionOptions options;
        options.modulePath = std::string(QX_BENCH_BINARY_DIR) + "/qxchoice.kpx";
        const char* data = std::getenv("QX_BENCH_DATA");
        options.dataPath = data != nullptr ? data : std::string(QX_BENCH_BINARY_DIR) + "/data/demo";
        options.topicsPath = topicsPath;
        session = std::make_unique<qxhost::SceneSession>(options);
        if (!session->start()) {
            state.SkipWithError(session->error().c_str());
            session.reset();
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        session.reset();
        qx::bindHost(&BenchHost::get().host);
    }
    std::unique_ptr<qxhost::SceneSession> session;
};

// Drags the first topic of the bar into door 1, or lifts it out again and drops it on the
// floor, so that a shrink, grow or return animation is running.
void startAnimation(qxhost::SceneSession& s, bool intoDoor) {
    if (intoDoor) {
        s.moveTo(45, 432);
        s.press();
        s.moveTo(152, 242);
        s.release();
    } else {
        s.moveTo(152, 242);
        s.press();
        s.moveTo(320, 120);
        s.release();
    }
}

void BM_ours_frame(benchmark::State& state) {
    Session run(state, static_cast<int>(state.range(0)));
    if (!run.session) {
        return;
    }
    qxhost::SceneSession& s = *run.session;
    s.runFor(500);
    int frame = 0;
    bool intoDoor = true;
    for (auto _ : state) {
        if (frame++ % 40 == 0) {
            state.PauseTiming();
            startAnimation(s, intoDoor);
            intoDoor = !intoDoor;
            state.ResumeTiming();
        }
        s.frame();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

// A title costs what the screen shows of it: these frames cost about what frames of short
// titles do, though the bar's text is megabytes long.
void BM_ours_frame_long_titles(benchmark::State& state) {
    Session run(state, longTitlesFile(state.range(0) == 0));
    if (!run.session) {
        return;
    }
    qxhost::SceneSession& s = *run.session;
    s.runFor(500);
    for (auto _ : state) {
        s.frame();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void BM_ours_pointerMove_100_topics(benchmark::State& state) {
    Session run(state, 100);
    if (!run.session) {
        return;
    }
    qxhost::SceneSession& s = *run.session;
    s.runFor(500);
    bool left = true;
    for (auto _ : state) {
        s.moveTo(left ? 200 : 420, 440);
        s.host().processEvents();
        left = !left;
    }
}

} // namespace

BENCHMARK(BM_ours_frame)->Arg(10)->Arg(50)->Arg(100);
// 0: one title of 20 MB; 1: 100 titles of 10 KB.
BENCHMARK(BM_ours_frame_long_titles)->Arg(0)->Arg(1);
BENCHMARK(BM_ours_pointerMove_100_topics);

} // namespace qxbench
