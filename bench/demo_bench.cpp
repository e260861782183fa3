// The demo installation generator: time to write a whole installation for a main data set of N
// employees (with their families and up to 14 payment rows each), per seed.
//   build/<dir>/bench/demo_bench [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/Cp932.h"
#include "tools/demo/DemoInstallation.h"

namespace {

void BM_DemoInstallation(benchmark::State& state) {
  const auto root = std::filesystem::temp_directory_path() / "nc16-demo-bench";
  nc16::demo::DemoOptions options;
  options.root = nc16::FromNativePath(root);
  options.employees = static_cast<int>(state.range(0));
  options.replace = true;
  for (auto _ : state)
    nc16::demo::CreateDemoInstallation(options);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_DemoInstallation)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
