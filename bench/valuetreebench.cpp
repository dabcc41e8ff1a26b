#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

#include <benchmark/benchmark.h>

#include <QStringList>

namespace
{

// Builds a tree of `count` integer values spread over device nodes the way a
// large installation would: many stations, each with its own value groups.
QStringList FillTree(values::Tree& tree, int count)
{
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i)
    {
        const QString path = QStringLiteral("/KVTServer/Station%1/Group%2/Value%3").arg(i / 500).arg((i / 50) % 10).arg(i);
        tree.CreateValue<values::Value<int>>(path, i);
        paths.append(path);
    }
    return paths;
}

void BM_LookUpByPath(benchmark::State& state)
{
    values::Tree tree;
    const QStringList paths = FillTree(tree, static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(tree.FindValue(paths[i]));
        i = (i + 7919) % paths.size();
    }
}
BENCHMARK(BM_LookUpByPath)->Arg(1000)->Arg(10000)->Arg(50000);

}

BENCHMARK_MAIN();
