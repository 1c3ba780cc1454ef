// Setting the demo scene up again on a values.txt of many doors, as play --watch does after
// an edit: the host reads the layout values, then the scene looks each of them up. A lookup
// reaches its value through the values archive's index, so set-up grows with the number of
// values, not with its square. The target is under a second for 10,000 values.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BenchHost.h"
#include "services/HostServices.h"
#include "session/SceneSession.h"

namespace qxbench {

namespace {

namespace fs = std::filesystem;

void BM_scene_setUp_values(benchmark::State& state) {
    const int values = static_cast<int>(state.range(0));
    const fs::path data =
        fs::path(QX_BENCH_BINARY_DIR) / ("bench-values-" + std::to_string(values));
    std::error_code ignored;
    fs::remove_all(data, ignored);
    fs::copy(fs::path(QX_BENCH_BINARY_DIR) / "data" / "demo", data, fs::copy_options::recursive);
    {
        std::ofstream out(data / "choice" / "values.txt");
        for (int door = 1; door <= values / 2; ++door) {
            out << "porte" << (door < 10 ? "0" : "") << door << " = " << 100 + door % 400 << ","
                << 100 + door % 200 << "\ntextcenter" << (door < 10 ? "0" : "") << door << " = "
                << 150 + door % 400 << "," << 150 + door % 200 << "\n";
        }
    }
    qxhost::SessionOptions options;
    options.modulePath = std::string(QX_BENCH_BINARY_DIR) + "/qxchoice.kpx";
    options.dataPath = data.string();
    {
        qxhost::SceneSession session(options);
        if (!session.start()) {
            state.SkipWithError(session.error().c_str());
        }
        for (auto _ : state) {
            if (!session.restart()) {
                state.SkipWithError(session.error().c_str());
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * values);
    }
    // The session bound the process's support layer to its own host.
    qx::bindHost(&BenchHost::get().host);
    fs::remove_all(data, ignored);
}
BENCHMARK(BM_scene_setUp_values)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace qxbench
