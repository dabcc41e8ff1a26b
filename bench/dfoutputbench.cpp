#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

// Sentences per second into a file: the DF data output, triggered by a new
// bearing in the value tree, against a hand-written snprintf of the same
// fields with the same flush per sentence. Compare items_per_second.

namespace
{

const quint64 START_TIME = 1700000000123;
const values::Bearing BEARING{145500000.0, 4567, 2345, 123, 87};

QTemporaryDir& WorkDir()
{
    static QTemporaryDir s_dir;
    return s_dir;
}

QString FileName(const char* name)
{
    return WorkDir().filePath(QString::fromLatin1(name));
}

values::Value<values::BearingResult>* FillTree()
{
    values::Tree& tree = *values::Tree::Instance();
    tree.Clear();
    StdDeviceDefinition::StdDeviceTree::Device(QStringLiteral("/KVTServer"));
    tree.Find<values::ValueNumeric<int>>(QStringLiteral("/KVTServer/Res/HeaR/TrueHeading"))->SetValue(1234);
    tree.Find<values::ValueNumeric<double>>(QStringLiteral("/KVTServer/Res/PosR/PosLatitude"))->SetValue(48.137154);
    tree.Find<values::ValueNumeric<double>>(QStringLiteral("/KVTServer/Res/PosR/PosLongitude"))->SetValue(11.5761249);
    tree.Find<values::Value<qint64>>(QStringLiteral("/KVTServer/Res/PosR/PosLastUpdate"))->SetValue(START_TIME);
    return tree.Find<values::Value<values::BearingResult>>(QStringLiteral("/KVTServer/Res/DfR/Azimuth"));
}

void BM_SendData(benchmark::State& state)
{
    ICfg& rCfg = CfgCenter::GetAppCfg(ICfg::Application);
    rCfg.SetBool(QStringLiteral("RS232Output_Enabled"), false, 0);
    rCfg.SetInt(QStringLiteral("Output_Interval"), 0, 0);
    rCfg.SetBool(QStringLiteral("FileOutput_Enabled"), true, 0);
    rCfg.SetString(QStringLiteral("FileOutput_Address"), FileName("senddata.txt"), 0);
    values::Value<values::BearingResult>* pAzimuth = FillTree();
    DFDataOutput output(QStringLiteral("bench"));

    quint64 time = START_TIME;
    for (auto _ : state)
        pAzimuth->SetValue(values::BearingResult(BEARING, time += 100));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendData);

// The same sentence and extension; times as UTC hhmmss.
void BM_Snprintf(benchmark::State& state)
{
    std::FILE* pFile = std::fopen(FileName("snprintf.txt").toLocal8Bit().constData(), "ab");
    const auto hhmmss = [](quint64 time, char* text, size_t size) {
        const std::time_t seconds = static_cast<std::time_t>(time / 1000);
        std::tm parts{};
        gmtime_r(&seconds, &parts);
        std::snprintf(text, size, "%02d%02d%02d", parts.tm_hour, parts.tm_min, parts.tm_sec);
    };
    quint64 time = START_TIME;
    char line[512];
    char bearingTime[16];
    char positionTime[16];
    for (auto _ : state)
    {
        time += 100;
        hhmmss(time, bearingTime, sizeof bearingTime);
        hhmmss(START_TIME, positionTime, sizeof positionTime);
        const int length = std::snprintf(
            line, sizeof line,
            "$PLG,%5.1f,FRQ,%10.0f,CMP,%5.1f,QUA,%5.1f,LEV,%5.1f,TIM,%s"
            ",ELV,%3.1f,PTC,%3.1f,RLL,%3.1f,ALT,%3.1f,PTM,%s,LAT,%9.5f,LON,%9.7f\r\n",
            BEARING.azimuth / 10.0, BEARING.frequency, 1234 / 10.0, static_cast<double>(BEARING.quality),
            BEARING.level / 100.0, bearingTime, BEARING.elevation / 10.0, 0.0, 0.0, 0.0, positionTime, 48.137154,
            11.5761249);
        if (std::fwrite(line, 1, static_cast<size_t>(length), pFile) == static_cast<size_t>(length))
            std::fflush(pFile);
    }
    std::fclose(pFile);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Snprintf);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KVT_CONFIG_DIR", WorkDir().path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    values::Tree::Instance()->Clear();
    return 0;
}
