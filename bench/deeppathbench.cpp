#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

#include <benchmark/benchmark.h>

// Creating a value at the end of a path of missing nodes, by depth: the
// reported complexity should be O(N). Removing the path again (Clear) is
// timed as its own row.
namespace
{

QString DeepPath(int nDepth)
{
    QString path;
    path.reserve(2 * nDepth + 2);
    for (int i = 0; i < nDepth; ++i)
        path += QStringLiteral("/n");
    return path + QStringLiteral("/v");
}

void BM_CreateDeepPath(benchmark::State& state)
{
    const QString path = DeepPath(int(state.range(0)));
    values::Tree tree;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tree.CreateValue<values::Value<int>>(path));
        state.PauseTiming();
        tree.Clear();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CreateDeepPath)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity()->Unit(benchmark::kMillisecond);

void BM_ClearDeepPath(benchmark::State& state)
{
    const QString path = DeepPath(int(state.range(0)));
    values::Tree tree;
    for (auto _ : state) {
        state.PauseTiming();
        tree.CreateValue<values::Value<int>>(path);
        state.ResumeTiming();
        tree.Clear();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ClearDeepPath)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
