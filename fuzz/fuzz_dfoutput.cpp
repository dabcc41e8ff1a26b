// The DF sentence fields: every value the DF data output reads from the
// tree (bearing, heading, position, times, a scan list) takes any bit
// pattern, NaN, infinities and extreme times included, and the output writes
// its file lines. Properties: no crash; every line is a sentence with the
// field names in their places ("$PLG", "FRQ", ... "LON", then "SR" in a
// scan), no value spills into another field, and a time field is empty or
// six digits.
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "fuzz/fuzzsupport.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QApplication>
#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>

namespace
{

using values::Bearing;
using values::BearingResult;
using values::Tree;

const char* const FIELD_NAMES[] = {"$PLG", "FRQ", "CMP", "QUA", "LEV", "TIM", "ELV",
                                   "PTC",  "RLL", "ALT", "PTM", "LAT", "LON", "SR"};

double AnyDouble(FuzzedDataProvider& input)
{
    const auto bits = input.ConsumeIntegral<quint64>();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

BearingResult AnyBearing(FuzzedDataProvider& input)
{
    const Bearing bearing{AnyDouble(input), input.ConsumeIntegral<qint16>(), input.ConsumeIntegral<quint16>(),
                          input.ConsumeIntegral<qint16>(), input.ConsumeIntegral<qint16>()};
    return BearingResult(bearing, input.ConsumeIntegral<quint64>());
}

void PrepareTree(FuzzedDataProvider& input)
{
    Tree& tree = *Tree::Instance();
    tree.Clear();
    FUZZ_CHECK(StdDeviceDefinition::StdDeviceTree::Device(QStringLiteral("/KVTServer")));
    for (const char* path : {"/KVTServer/DevAttr/OperationMode", "/KVTServer/Par/Evt/SRStatus"}) {
        auto* pSelection = tree.Find<values::ValueSelection>(path);
        pSelection->AddItem(QStringLiteral("Off"), 0, 0);
        pSelection->AddItem(QStringLiteral("On"), 1, 1);
    }
    tree.Find<values::ValueNumeric<int>>("/KVTServer/Res/HeaR/TrueHeading")->SetValue(input.ConsumeIntegral<int>());
    for (const char* path : {"/KVTServer/Res/PosR/Pitch", "/KVTServer/Res/PosR/Roll", "/KVTServer/Res/PosR/Altitude",
                             "/KVTServer/Res/PosR/PosLatitude", "/KVTServer/Res/PosR/PosLongitude"})
        tree.Find<values::ValueNumeric<double>>(path)->SetValue(AnyDouble(input));
    tree.Find<values::Value<qint64>>("/KVTServer/Res/PosR/PosLastUpdate")->SetValue(input.ConsumeIntegral<qint64>());
    if (input.ConsumeBool()) {
        auto* pList = tree.Find<values::ValueList<BearingResult>>("/KVTServer/Res/DfR/AzimuthList");
        for (int n = input.ConsumeIntegralInRange(0, 4); n > 0; --n)
            pList->PushBack(AnyBearing(input));
        tree.Find<values::ValueSelection>("/KVTServer/Par/Evt/SRStatus")->SetCurrentIndex(1);
    }
}

void CheckLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split(',');
    FUZZ_CHECK(fields.size() == 26 || fields.size() == 28);
    for (int i = 0; i < fields.size(); i += 2)
        FUZZ_CHECK(fields.at(i) == FIELD_NAMES[i / 2]);
    for (int time : {11, 21}) {
        const QByteArray& text = fields.at(time);
        FUZZ_CHECK(text.isEmpty() || (text.size() == 6 && text.toUInt() < 240000 && text.count('-') == 0));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int s_argc = 1;
    static char s_name[] = "fuzz_dfoutput";
    static char* s_argv[] = {s_name, nullptr};
    static const bool s_bPlatform = qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: the offscreen platform leaks its screens when the
    // application object goes at exit, which is no finding of this library.
    static const QApplication* const s_pApplication = new QApplication(s_argc, s_argv);
    FUZZ_CHECK(s_bPlatform && s_pApplication);

    const Fuzz::ConfigDir configDir;
    const QString fileName = configDir.Path() + QStringLiteral("/df.txt");
    ICfg& rCfg = CfgCenter::GetAppCfg(ICfg::Application);
    rCfg.SetBool(QStringLiteral("RS232Output_Enabled"), false, 0);
    rCfg.SetInt(QStringLiteral("Output_Interval"), 0, 0);
    rCfg.SetBool(QStringLiteral("FileOutput_Enabled"), true, 0);
    rCfg.SetString(QStringLiteral("FileOutput_Address"), fileName, 0);

    FuzzedDataProvider input(data, size);
    PrepareTree(input);
    {
        DFDataOutput output(QStringLiteral("DF output"));
        const BearingResult bearing = AnyBearing(input);
        Tree::Instance()->Find<values::Value<BearingResult>>("/KVTServer/Res/DfR/Azimuth")->SetValue(bearing);
    }
    Tree::Instance()->Clear();
    // Nothing runs an event loop here: the events the widgets posted are
    // delivered now, so that they do not pile up from input to input.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QFile file(fileName);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    FUZZ_CHECK(content.isEmpty() || content.endsWith("\r\n"));
    for (const QByteArray& line : content.split('\n')) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (!text.isEmpty())
            CheckLine(text);
    }
    return 0;
}
