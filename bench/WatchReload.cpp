// play --watch: the time from an edit of values.txt to the scene set up again on it, in real
// time, with the window's frames paced at 60 a second as in play. The edit reaches the window
// through inotify; the built qxhost checks the folder in a process of its own; then the
// session sets the scene up again. The target is under a second.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "BenchHost.h"
#include "app/PlayWindow.h"
#include "services/HostServices.h"

namespace qxbench {

namespace {

namespace fs = std::filesystem;

void BM_watch_reload_after_edit(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    const std::string binary = QX_BENCH_BINARY_DIR;
    const fs::path data = fs::path(binary) / "bench-watch";
    std::error_code ignored;
    fs::remove_all(data, ignored);
    fs::copy(binary + "/data/demo", data, fs::copy_options::recursive);
    std::ostringstream text;
    text << std::ifstream(data / "choice" / "values.txt").rdbuf();
    const std::string values = text.str();

    std::ostringstream said;
    qxhost::app::PlayOptions options;
    options.dataPath = data.string();
    options.modulePath = binary + "/qxchoice.kpx";
    options.watch = true;
    options.watchOutput = &said;
    options.checkProgram = binary + "/qxhost";
    {
        qxhost::app::PlayWindow window(options);
        if (!window.open()) {
            state.SkipWithError(window.error().c_str());
        }
        for (int edit = 0; state.KeepRunningBatch(1); ++edit) {
            // Door 1 moves a little each time, so that every edit is a real change.
            std::string edited = values;
            const std::size_t line = edited.find("porte01");
            edited.insert(line, "porte01 = " + std::to_string(100 + edit % 10) + ",158\n#");
            std::ofstream(data / "choice" / "values.txt") << edited;
            const int reloads = window.reloads();
            while (window.reloads() == reloads && window.step()) {
                SDL_Delay(1000 / 60);
            }
            if (window.reloads() == reloads) {
                state.SkipWithError(("not set up again: " + said.str()).c_str());
                break;
            }
        }
    }
    // The window's session bound the process's support layer to its own host.
    qx::bindHost(&BenchHost::get().host);
    fs::remove_all(data, ignored);
}
BENCHMARK(BM_watch_reload_after_edit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

} // namespace qxbench
