// perftable: the host layer's and the characteristics' hot operations, each
// measured next to an anchor that does the same job the plainest way (a hash
// map hashed like QHash, a direct Qt signal, a precomputed map), in one
// process and interleaved, so that the ratios hold on any machine.
//
//   perftable [benchmark flags]        table of medians and ratios
//   perftable --count [N] [filter]     N steps of each side between callgrind
//                                      dumps; bench/perftable-count.sh runs it
//                                      under valgrind and prints instructions
//
// Adding a row: write two fixtures (constructor = set-up, Step() = one
// operation) and one AddRow line in RegisterRows.

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <valgrind/callgrind.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace
{

// ---------------------------------------------------------------------------
// Registry

struct Side
{
    std::string name;
    std::function<void(benchmark::State&)> measure;
    std::function<void(int)> count; ///< runs N steps between callgrind dumps; null: not countable
};

struct Row
{
    std::string title;
    std::string counter; ///< compared instead of the time when not empty
    Side op;
    Side anchor;
    bool bSlowToCount = false; ///< counted only when a filter names it
};

std::vector<Row>& Rows()
{
    static std::vector<Row> s_rows;
    return s_rows;
}

template <class Fixture>
Side MakeSide(const std::string& name, int arg)
{
    Side side;
    side.name = name;
    side.measure = [arg](benchmark::State& state) {
        Fixture fixture(arg);
        for (auto _ : state)
            fixture.Step();
    };
    side.count = [arg, name](int steps) {
        Fixture fixture(arg);
        fixture.Step();
        CALLGRIND_ZERO_STATS;
        for (int i = 0; i < steps; ++i)
            fixture.Step();
        CALLGRIND_DUMP_STATS_AT(name.c_str());
    };
    return side;
}

/// A timed row: Op and Anchor are fixtures built from `arg`.
template <class Op, class Anchor>
void AddRow(const std::string& title, int arg)
{
    Rows().push_back({title, std::string(), MakeSide<Op>(title + " | op", arg),
                      MakeSide<Anchor>(title + " | anchor", arg), arg >= 1000000});
}

/// A row compared by a counter that each side sets once (sizes, not times).
void AddCounterRow(const std::string& title, const std::string& counter,
                   std::function<void(benchmark::State&)> op, std::function<void(benchmark::State&)> anchor)
{
    Rows().push_back({title, counter, {title + " | op", std::move(op), nullptr},
                      {title + " | anchor", std::move(anchor), nullptr}});
}

// ---------------------------------------------------------------------------
// Value tree

QString ValuePath(int i)
{
    return QStringLiteral("/KVTServer/Station%1/Group%2/Value%3").arg(i / 500).arg((i / 50) % 10).arg(i);
}

QString MissingPath(int i)
{
    return QStringLiteral("/KVTServer/Station%1/Group%2/Missing%3").arg(i / 500).arg((i / 50) % 10).arg(i);
}

/// A tree and a QHash of the same paths, built once per size and kept: the
/// 1 000 000-value world is too slow to build for every repetition.
struct World
{
    values::Tree tree;
    QHash<QString, void*> hash;
    QStringList hits;   ///< a spread sample of existing paths
    QStringList misses; ///< paths below existing groups that are not there

    static World& Get(int count)
    {
        static std::map<int, std::unique_ptr<World>> s_worlds;
        std::unique_ptr<World>& rpWorld = s_worlds[count];
        if (!rpWorld)
            rpWorld = std::make_unique<World>(count);
        return *rpWorld;
    }

    explicit World(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            const QString path = ValuePath(i);
            hash.insert(path, tree.CreateValue<values::Value<int>>(path, i));
        }
        const int nSample = std::min(count, 4096);
        for (int k = 0; k < nSample; ++k)
        {
            const int i = static_cast<int>((static_cast<qint64>(k) * 7919) % count);
            hits.append(ValuePath(i));
            misses.append(MissingPath(i));
        }
    }
};

/// One lookup per step in the tree (IN_TREE) or in the hash map, cycling
/// through the sample of existing (HIT) or missing paths.
template <bool IN_TREE, bool HIT>
class Lookup
{
public:
    explicit Lookup(int count)
        : m_world(World::Get(count))
        , m_paths(HIT ? m_world.hits : m_world.misses)
    {
    }
    void Step()
    {
        const QString& path = m_paths[m_nNext];
        if constexpr (IN_TREE)
            benchmark::DoNotOptimize(m_world.tree.FindValue(path));
        else
            benchmark::DoNotOptimize(m_world.hash.value(path, nullptr));
        m_nNext = (m_nNext + 1) % m_paths.size();
    }

private:
    World& m_world;
    const QStringList& m_paths;
    int m_nNext = 0;
};

/// One more value below a node that already has `siblings` children, taken
/// out again so that every step sees the same node.
class TreeInsert
{
public:
    explicit TreeInsert(int siblings)
    {
        for (int i = 0; i < siblings; ++i)
            m_tree.CreateValue<values::Value<int>>(QStringLiteral("/KVTServer/Big/V%1").arg(i));
        m_pParent = m_tree.FindNode(QStringLiteral("/KVTServer/Big"));
    }
    void Step()
    {
        auto pValue = std::make_unique<values::Value<int>>(m_strName);
        std::unique_ptr<values::ValueBase> pBase = std::move(pValue);
        m_tree.InsertValue(m_strParent, pBase);
        m_pParent->RemoveChild(m_pParent->GetChild(m_strName));
    }

private:
    values::Tree m_tree;
    values::Node* m_pParent = nullptr;
    const QString m_strParent = QStringLiteral("/KVTServer/Big");
    const QString m_strName = QStringLiteral("Extra");
};

class HashInsert
{
public:
    explicit HashInsert(int siblings)
    {
        for (int i = 0; i < siblings; ++i)
            m_hash.insert(QStringLiteral("/KVTServer/Big/V%1").arg(i), nullptr);
    }
    void Step()
    {
        // The path is built as the tree's caller builds it, then dropped.
        m_hash.insert(m_strParent + QLatin1Char('/') + m_strName, &m_hash);
        m_hash.remove(m_strParent + QLatin1Char('/') + m_strName);
    }

private:
    QHash<QString, void*> m_hash;
    const QString m_strParent = QStringLiteral("/KVTServer/Big");
    const QString m_strName = QStringLiteral("Extra");
};

class CountingObserver : public IObserver
{
public:
    void Update(Observable*, TChangeCode) override { ++m_nCalls; }
    int m_nCalls = 0;
};

/// A value on its own (not in a tree) with `observers` observers attached.
class ValueNotify
{
public:
    explicit ValueNotify(int observers)
        : m_aObservers(static_cast<size_t>(observers))
    {
        for (CountingObserver& rObserver : m_aObservers)
            m_value.AddObserver(&rObserver);
    }
    void Step() { m_value.SetValue(++m_n); }

private:
    std::vector<CountingObserver> m_aObservers;
    values::Value<int> m_value{QStringLiteral("V")};
    int m_n = 0;
};

}

class SignalSource : public QObject
{
    Q_OBJECT
public:
    void Set(int n) { emit Changed(n); }
signals:
    void Changed(int n);
};

class SignalSink : public QObject
{
    Q_OBJECT
public slots:
    void OnChanged(int) { ++m_nCalls; }

public:
    int m_nCalls = 0;
};

namespace
{

/// A direct-connection signal carrying an int to `receivers` receivers.
class SignalNotify
{
public:
    explicit SignalNotify(int receivers)
        : m_aSinks(static_cast<size_t>(receivers))
    {
        for (SignalSink& rSink : m_aSinks)
            QObject::connect(&m_source, &SignalSource::Changed, &rSink, &SignalSink::OnChanged, Qt::DirectConnection);
    }
    void Step() { m_source.Set(++m_n); }

private:
    SignalSource m_source;
    std::vector<SignalSink> m_aSinks;
    int m_n = 0;
};

size_t AllocatedBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void TreeMemory(benchmark::State& state, int count)
{
    for (auto _ : state)
    {
        const size_t nBefore = AllocatedBytes();
        auto pTree = std::make_unique<values::Tree>();
        for (int i = 0; i < count; ++i)
            pTree->CreateValue<values::Value<int>>(ValuePath(i), i);
        state.counters["bytes/value"] = static_cast<double>(AllocatedBytes() - nBefore) / count;
    }
}

void HashMemory(benchmark::State& state, int count)
{
    for (auto _ : state)
    {
        const size_t nBefore = AllocatedBytes();
        QHash<QString, void*> hash;
        for (int i = 0; i < count; ++i)
            hash.insert(ValuePath(i), &hash);
        state.counters["bytes/value"] = static_cast<double>(AllocatedBytes() - nBefore) / count;
    }
}

// ---------------------------------------------------------------------------
// Antennas and characteristics

const QString DEVICE_PATH = QStringLiteral("/KVTServer");

void AddAntenna(AntennaDataList& antennas, const QString& name, const QString& converter, double min, double max)
{
    auto pAntenna = std::make_unique<AntennaData>();
    pAntenna->m_strName = name;
    pAntenna->m_strConverterTypeName = converter;
    pAntenna->m_fMinFreq = pAntenna->m_fMinRange = min;
    pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = max;
    antennas.AddAntenna(pAntenna.release());
}

/// A bound device like the capability report's default station: HF and VUHF
/// antennas with wide-band and super-resolution options, so that every
/// question walks the full sample-mode table.
class BoundDevice
{
public:
    explicit BoundDevice(int antennas = 0)
        : m_antennas(DEVICE_PATH, QString())
    {
        StdDeviceDefinition::StdDeviceTree::Device(DEVICE_PATH);
        values::Tree::Instance()
            ->Find<values::ValueSelection>(DEVICE_PATH + StdDeviceDefinition::g_vdDevType.PathName())
            ->SetCurrentText(QStringLiteral("KVTQ1"));
        KVTOptions::Instance()->AddOptionsFromString(QStringLiteral("KVT-HFR;KVT-LF;KVTQ-WB;KVTQ-SR"));
        if (antennas == 0)
        {
            AddAntenna(m_antennas, QStringLiteral("HR463"), QStringLiteral("RP56"), 9000, 299999);
            AddAntenna(m_antennas, QStringLiteral("HR428_L"), QStringLiteral("RP29"), 3e5, 3e7);
            AddAntenna(m_antennas, QStringLiteral("HR428_R"), QStringLiteral("RP29"), 3e5, 3e7);
            AddAntenna(m_antennas, QStringLiteral("HR469SR"), QStringLiteral("VQ28"), 30000001, 1.3e9);
            AddAntenna(m_antennas, QStringLiteral("HR443"), QStringLiteral("VQ28"), 1300000001, 3e9);
        }
        // A long chain of VUHF antennas, each above the previous one.
        for (int i = 0; i < antennas; ++i)
            AddAntenna(m_antennas, QStringLiteral("A%1").arg(i), QStringLiteral("VQ28"), 3e7 + i * 1e6 + 1,
                       3e7 + (i + 1) * 1e6);
        m_antennas.WriteAntennasToValueTree(DEVICE_PATH);
        m_characteristics.SetBase_ValuePath(DEVICE_PATH, true);
    }

    ~BoundDevice()
    {
        values::Tree::Instance()->Clear();
        KVTOptions::Finalise();
    }
    BoundDevice(const BoundDevice&) = delete;
    BoundDevice& operator=(const BoundDevice&) = delete;

    AntennaDataList m_antennas;
    KVTCharacteristics m_characteristics;
};

/// Writing N antenna nodes (the old ones are deleted first).
class WriteAntennas
{
public:
    explicit WriteAntennas(int antennas)
        : m_device(antennas)
    {
    }
    void Step() { m_device.m_antennas.WriteAntennasToValueTree(DEVICE_PATH); }

private:
    BoundDevice m_device;
};

/// The same number of items (one per antenna member and node) put into and
/// taken out of a hash map by path.
class HashAntennas
{
public:
    explicit HashAntennas(int antennas)
    {
        for (int i = 0; i < antennas; ++i)
        {
            const QString node = QStringLiteral("/KVTServer/DevAttr/Cfg/Ant%1").arg(i);
            m_paths.append(node);
            for (const values::ValueDescriptor* pDescriptor : StdDeviceDefinition::GetAntennaDescriptors())
                m_paths.append(node + pDescriptor->PathName());
        }
    }
    void Step()
    {
        m_hash.clear();
        for (const QString& path : qAsConst(m_paths))
            m_hash.insert(path, &m_hash);
    }

private:
    QStringList m_paths;
    QHash<QString, void*> m_hash;
};

struct SampleModeQuery
{
    EOperationMode eMode;
    double fStart;
    double fStop;
    double fRealtimeBw;
};

const SampleModeQuery QUERY = {static_cast<EOperationMode>(2), 144e6, 146e6, 1e6};

class BestSampleMode
{
public:
    explicit BestSampleMode(int) {}
    void Step()
    {
        benchmark::DoNotOptimize(
            m_device.m_characteristics.GetBestSampleMode(QUERY.eMode, QUERY.fStart, QUERY.fStop, QUERY.fRealtimeBw));
    }

private:
    BoundDevice m_device;
};

/// Every answer for a grid of questions, asked once; a step looks one up.
class PrecomputedSampleMode
{
public:
    explicit PrecomputedSampleMode(int)
    {
        BoundDevice device;
        for (int nMode = 0; nMode < 16; ++nMode)
        {
            for (double fStart : {1e5, 1e6, 1e7, 144e6, 1e9, 2e9})
            {
                for (double fBw : {0.0, 1e5, 1e6, 1e7})
                    m_answers[{nMode, fStart, fStart + 2e6, fBw}] = device.m_characteristics.GetBestSampleMode(
                        static_cast<EOperationMode>(nMode), fStart, fStart + 2e6, fBw);
            }
        }
    }
    void Step()
    {
        benchmark::DoNotOptimize(m_answers.find({QUERY.eMode, QUERY.fStart, QUERY.fStop, QUERY.fRealtimeBw})->second);
    }

private:
    std::map<std::tuple<int, double, double, double>, EKVTSampleMode> m_answers;
};

/// The refresh a configuration change triggers: antennas re-read from the
/// tree, switch frequencies, device type and limits per operation mode.
class Refresh
{
public:
    explicit Refresh(int) {}
    void Step() { m_device.m_characteristics.UpdateCachedDataFromValueTree(); }

private:
    BoundDevice m_device;
};

/// What the refresh produces, from data at hand: the antenna records copied
/// and the per-mode limits filled from a precomputed support table.
class CopyRecords
{
public:
    explicit CopyRecords(int)
    {
        BoundDevice device;
        for (int i = 0; i < device.m_antennas.GetAntennaCount(); ++i)
        {
            const AntennaData* pAntenna = device.m_antennas.GetAntennaByIndex(i);
            m_source.push_back(*pAntenna);
            for (int nMode = 0; nMode < 16; ++nMode)
                m_supported.push_back(device.m_characteristics.IsAntennaSupportedByDevice(
                    pAntenna, static_cast<EOperationMode>(nMode)));
        }
    }
    void Step()
    {
        m_copy = m_source;
        std::fill(std::begin(m_afMin), std::end(m_afMin), 1e300);
        std::fill(std::begin(m_afMax), std::end(m_afMax), 0.0);
        for (size_t i = 0; i < m_copy.size(); ++i)
        {
            for (int nMode = 0; nMode < 16; ++nMode)
            {
                if (m_copy[i].m_bEnabled && m_supported[i * 16 + nMode])
                {
                    m_afMin[nMode] = std::min(m_afMin[nMode], m_copy[i].m_fMinRange);
                    m_afMax[nMode] = std::max(m_afMax[nMode], m_copy[i].m_fMaxRange);
                }
            }
        }
        benchmark::DoNotOptimize(m_afMin);
        benchmark::DoNotOptimize(m_afMax);
    }

private:
    std::vector<AntennaData> m_source;
    std::vector<AntennaData> m_copy;
    std::vector<bool> m_supported;
    double m_afMin[16];
    double m_afMax[16];
};

void RegisterRows()
{
    for (int count : {1000, 50000, 1000000})
    {
        const std::string values = " (" + std::to_string(count) + " values)";
        AddRow<Lookup<true, true>, Lookup<false, true>>("lookup hit" + values, count);
        AddRow<Lookup<true, false>, Lookup<false, false>>("lookup miss" + values, count);
    }
    for (int siblings : {100, 10000})
        AddRow<TreeInsert, HashInsert>("insert+remove below " + std::to_string(siblings) + " siblings", siblings);
    AddRow<ValueNotify, SignalNotify>("value change to one observer", 1);
    AddRow<ValueNotify, SignalNotify>("value change to 10 observers", 10);
    for (int count : {1000, 50000, 1000000})
    {
        AddCounterRow("memory per value (" + std::to_string(count) + " values)", "bytes/value",
                      [count](benchmark::State& state) { TreeMemory(state, count); },
                      [count](benchmark::State& state) { HashMemory(state, count); });
    }
    for (int antennas : {5, 50, 500})
        AddRow<WriteAntennas, HashAntennas>("write " + std::to_string(antennas) + " antennas", antennas);
    AddRow<BestSampleMode, PrecomputedSampleMode>("GetBestSampleMode", 0);
    AddRow<Refresh, CopyRecords>("characteristics refresh (5 antennas)", 0);
}

// ---------------------------------------------------------------------------
// Table

/// Collects every repetition and prints, per row, the medians of both sides
/// and their ratio (op / anchor) as a Markdown table.
class TableReporter : public benchmark::BenchmarkReporter
{
public:
    bool ReportContext(const Context& context) override
    {
        std::printf("%d CPUs at %.0f MHz; medians of the repetitions (CPU time per step)\n\n", context.cpu_info.num_cpus,
                    context.cpu_info.cycles_per_second / 1e6);
        return true;
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
        {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            m_samples[run.run_name.function_name].push_back(run);
            std::fputc('.', stderr);
        }
    }

    void Finalize() override
    {
        std::fputc('\n', stderr);
        std::printf("| operation | op | anchor | ratio |\n|---|---|---|---|\n");
        for (const Row& row : Rows())
        {
            const double fOp = Median(row.op.name, row.counter);
            const double fAnchor = Median(row.anchor.name, row.counter);
            if (fOp < 0.0 || fAnchor < 0.0)
                continue;
            std::printf("| %s | %s | %s | %.2f |\n", row.title.c_str(), Format(fOp, row.counter).c_str(),
                        Format(fAnchor, row.counter).c_str(), fOp / fAnchor);
        }
    }

private:
    /// Nanoseconds per step, or the counter; -1 when the side did not run.
    double Median(const std::string& name, const std::string& counter) const
    {
        const auto it = m_samples.find(name);
        if (it == m_samples.end())
            return -1.0;
        std::vector<double> values;
        for (const Run& run : it->second)
            values.push_back(counter.empty() ? run.GetAdjustedCPUTime() : double(run.counters.at(counter)));
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

    static std::string Format(double fValue, const std::string& counter)
    {
        char sz[64];
        if (!counter.empty())
            std::snprintf(sz, sizeof sz, "%.0f %s", fValue, counter.c_str());
        else if (fValue >= 1e6)
            std::snprintf(sz, sizeof sz, "%.2f ms", fValue / 1e6);
        else if (fValue >= 1e3)
            std::snprintf(sz, sizeof sz, "%.2f us", fValue / 1e3);
        else
            std::snprintf(sz, sizeof sz, "%.1f ns", fValue);
        return sz;
    }

    std::map<std::string, std::vector<Run>> m_samples;
};

/// --count [N] [filter]: N steps of every countable side whose name contains
/// the filter, each between callgrind's zeroing and a dump named after it.
/// Rows on 1 000 000 values take minutes to set up under callgrind: they are
/// counted only when the filter is given.
int CountSteps(int argc, char** argv)
{
    const int steps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    const std::string filter = argc > 3 ? argv[3] : std::string();
    if (RUNNING_ON_VALGRIND == 0)
        std::fprintf(stderr, "not under callgrind: the steps run, but nothing is counted\n");
    for (const Row& row : Rows())
    {
        if (row.bSlowToCount && filter.empty())
            continue;
        for (const Side* pSide : {&row.op, &row.anchor})
        {
            if (pSide->count && pSide->name.find(filter) != std::string::npos)
            {
                std::printf("%s | %d steps\n", pSide->name.c_str(), steps);
                pSide->count(steps);
            }
        }
    }
    return 0;
}

}

int main(int argc, char** argv)
{
    RegisterRows();
    if (argc > 1 && std::string(argv[1]) == "--count")
        return CountSteps(argc, argv);

    // Interleaved repetitions by default: both sides of a row see the same
    // machine load. Flags given on the command line come later and win.
    std::vector<char*> args(argv, argv + argc);
    char szRepetitions[] = "--benchmark_repetitions=5";
    char szInterleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, {szRepetitions, szInterleave});
    int nArgs = static_cast<int>(args.size());
    for (const Row& row : Rows())
    {
        for (const Side* pSide : {&row.op, &row.anchor})
        {
            auto* pBenchmark = benchmark::RegisterBenchmark(pSide->name.c_str(), pSide->measure);
            pBenchmark->Unit(benchmark::kNanosecond);
            if (!row.counter.empty())
                pBenchmark->Iterations(1);
        }
    }
    benchmark::Initialize(&nArgs, args.data());
    if (benchmark::ReportUnrecognizedArguments(nArgs, args.data()))
        return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

#include "perftable.moc"
