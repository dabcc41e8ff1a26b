// Component-set texts ("HwRequiredComponents", "HwOptionalComponents") and
// device-information items ("a;b;c;<component>;…") as devices and people
// write them. The input is three texts separated by NUL bytes: required,
// optional, and the items one per line. Properties: no crash; a set written
// to the configuration and read back is the same set; the queries agree with
// each other (missing ones are required and not reported, unknown ones are
// reported and neither required nor optional, every state fits its sets).
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/hwstatustester.h"
#include "fuzz/fuzzsupport.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QStringList>

#include <memory>

namespace
{

using Set = HwStatusTester::ComponentSet;

Set Pieces(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return Set(pieces.begin(), pieces.end());
}

Set Minus(Set set, const Set& other)
{
    for (const QString& name : other)
        set.erase(name);
    return set;
}

// What the queries must give, worked out from the texts directly.
void CheckQueries(const HwStatusTester& tester, const Set& required, const Set& optional, const Set& reported)
{
    FUZZ_CHECK(tester.FindMissingRequiredHardware() == Minus(required, reported));
    FUZZ_CHECK(tester.FindUnknownHardware() == Minus(Minus(reported, required), optional));
    for (const QString& name : tester.GetAllComponents()) {
        const bool present = reported.count(name) > 0;
        const HwStatusTester::HwComponentState expected = required.count(name) > 0
            ? (present ? HwStatusTester::eRequiredPresent : HwStatusTester::eRequiredMissing)
            : optional.count(name) > 0 ? (present ? HwStatusTester::eOptionalPresent : HwStatusTester::eOptionalMissing)
                                       : HwStatusTester::eUnknown;
        FUZZ_CHECK(tester.GetComponentState(name) == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::ConfigDir configDir;
    const QStringList parts = Fuzz::Text(data, size).split(QChar(0));
    const std::unique_ptr<ICfg> cfg(CfgCenter::CreateCfg(QStringLiteral("Fuzz"), ICfg::Station, QString()));
    const std::unique_ptr<ICfg> source(cfg->GetSubCfg(QStringLiteral("Source"), ICfg::Station));
    const std::unique_ptr<ICfg> copy(cfg->GetSubCfg(QStringLiteral("Copy"), ICfg::Station));
    source->SetString(QStringLiteral("HwRequiredComponents"), parts.value(0), 0);
    source->SetString(QStringLiteral("HwOptionalComponents"), parts.value(1), 0);

    values::ValueSelection devInfo;
    for (const QString& item : parts.value(2).split(QLatin1Char('\n')))
        devInfo.AddItem(item, 0.0, 0);

    HwStatusTester tester;
    tester.ReadHwRequirementsFromCfg(source.get());
    tester.ReadHwListFromValue(&devInfo);
    tester.WriteHwRequirementsToCfg(copy.get());

    HwStatusTester reread;
    reread.ReadHwRequirementsFromCfg(copy.get());
    reread.ReadHwListFromValue(&devInfo);
    FUZZ_CHECK(reread.FindMissingRequiredHardware() == tester.FindMissingRequiredHardware());
    FUZZ_CHECK(reread.FindUnknownHardware() == tester.FindUnknownHardware());
    FUZZ_CHECK(reread.GetAllComponents() == tester.GetAllComponents());

    Set reported;
    for (const QString& item : parts.value(2).split(QLatin1Char('\n'))) {
        const QStringList fields = item.split(QLatin1Char(';'));
        if (!item.startsWith(QLatin1String(">>")) && !item.startsWith(QLatin1String("Option")) && fields.size() > 3)
            reported.insert(fields.at(3));
    }
    CheckQueries(tester, Pieces(parts.value(0)), Pieces(parts.value(1)), reported);
    return 0;
}
