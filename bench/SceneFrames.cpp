// Whole frames and routed pointer moves of the demo scene, run through the built module as
// the host runs it, with a bar of 10, 50 or 100 topics. The demo data is the build's own
// (BUILD/data/demo) unless QX_BENCH_DATA names another folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "BenchHost.h"
#include "module/HostServices.h"
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

// A session for one benchmark; the benchmark host is bound again when it ends, because a
// host binds the process's support layer to itself.
class Session {
public:
    Session(benchmark::State& state, int topics) {
        qxhost::SessionOptions options;
        options.modulePath = std::string(QX_BENCH_BINARY_DIR) + "/qxchoice.kpx";
        const char* data = std::getenv("QX_BENCH_DATA");
        options.dataPath = data != nullptr ? data : std::string(QX_BENCH_BINARY_DIR) + "/data/demo";
        options.topicsPath = topicsFile(topics);
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
BENCHMARK(BM_ours_pointerMove_100_topics);

} // namespace qxbench
