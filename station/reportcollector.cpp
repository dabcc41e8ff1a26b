#include "station/reportcollector.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"

#include <QStringList>

#include <set>

const EOperationMode ReportCollector::s_aOPERATION_MODES[6] = {
    static_cast<EOperationMode>(1), static_cast<EOperationMode>(2), static_cast<EOperationMode>(3),
    static_cast<EOperationMode>(4), static_cast<EOperationMode>(6), static_cast<EOperationMode>(9)};

namespace {

/// Representative ranges: long wave, HF, two VHF/UHF bands and L band.
struct RepresentativeRange
{
    const char* pszLabel;
    double fStart;
    double fStop;
};
const RepresentativeRange s_aRANGES[] = {
    {"LF", 1e5, 2e5},
    {"HF", 3e6, 4e6},
    {"VHF", 1.44e8, 1.46e8},
    {"UHF", 4.3e8, 4.4e8},
    {"L band", 1.5e9, 1.6e9},
};

QString DeviceTypeText(EKVTType type)
{
    switch (type) {
    case KVT_TYPE_N1: return QStringLiteral("KVTN1");
    case KVT_TYPE_U1: return QStringLiteral("KVTU1");
    case KVT_TYPE_P1: return QStringLiteral("KVTP1");
    case KVT_TYPE_W1: return QStringLiteral("KVTW1");
    default: return QStringLiteral("KVTQ1");
    }
}

QString RangeTypeText(EFreqRange range)
{
    switch (range) {
    case FREQ_RANGE_HF: return QStringLiteral("HF");
    case FREQ_RANGE_VUHF: return QStringLiteral("VUHF");
    case FREQ_RANGE_VLF: return QStringLiteral("VLF");
    default: return QStringLiteral("unknown");
    }
}

QJsonArray ToJsonArray(const std::set<double>& numbers)
{
    QJsonArray array;
    for (double number : numbers)
        array.append(number);
    return array;
}

}

ReportCollector::ReportCollector(KVTCharacteristics& characteristics)
    : m_characteristics(characteristics)
{
}

void ReportCollector::SetRepairResult(bool success, const QString& message)
{
    m_repair = QJsonObject{{"success", success}, {"message", message}};
}

QJsonObject ReportCollector::Collect() const
{
    QJsonArray ranges;
    for (const RepresentativeRange& range : s_aRANGES)
        ranges.append(CollectRange(QString::fromLatin1(range.pszLabel), range.fStart, range.fStop));
    return QJsonObject{{"device", CollectDevice()},
                       {"antennaSetup", CollectAntennaSetup()},
                       {"operationModes", CollectOperationModes()},
                       {"frequencyRanges", ranges}};
}

QJsonObject ReportCollector::CollectDevice() const
{
    const QString options = KVTOptions::Instance()->GetOptionsAsString();
    double vuhfStart = 0.0;
    double hfStop = 0.0;
    m_characteristics.GetConverterSwitchFreq(vuhfStart, hfStop);
    return QJsonObject{
        {"type", DeviceTypeText(m_characteristics.GetKVTType())},
        {"options", QJsonArray::fromStringList(options.isEmpty() ? QStringList() : options.split(QLatin1Char(';')))},
        {"maxChannelCount", m_characteristics.GetMaxChannelCount()},
        {"hfPreamplifier", m_characteristics.IsHfPreampAvailable()},
        {"vuhfPreamplifier", m_characteristics.IsVuhfPreampAvailable()},
        {"converterSwitchVuhfStart", vuhfStart},
        {"converterSwitchHfStop", hfStop}};
}

QJsonObject ReportCollector::CollectAntennaSetup() const
{
    QString message;
    const bool valid = m_characteristics.CheckAntennaSetupValidity(nullptr, message);
    QJsonArray antennas;
    for (int i = 0; AntennaData* pAntenna = m_characteristics.GetAntennaByIndex(i); ++i)
        antennas.append(CollectAntenna(pAntenna));
    QJsonObject setup{{"valid", valid}, {"message", message}, {"antennas", antennas}};
    if (!m_repair.isEmpty())
        setup.insert("repair", m_repair);
    return setup;
}

QJsonObject ReportCollector::CollectAntenna(AntennaData* pAntenna) const
{
    const KVTCharacteristicsTools tools;
    QJsonObject antenna{
        {"name", pAntenna->m_strName},
        {"displayName", m_characteristics.GetAntennaDisplayName(pAntenna)},
        {"enabled", pAntenna->m_bEnabled},
        {"supported", m_characteristics.IsAntennaSupportedByDevice(pAntenna, OPMODE_ANY)},
        {"minFreq", pAntenna->m_fMinFreq},
        {"maxFreq", pAntenna->m_fMaxFreq},
        {"minRange", pAntenna->m_fMinRange},
        {"maxRange", pAntenna->m_fMaxRange},
        {"converter", pAntenna->m_strConverterTypeName},
        {"rangeType", RangeTypeText(m_characteristics.GetRangeTypeOfAntenna(pAntenna, OPMODE_ANY))},
        {"dfMethods", QJsonArray::fromStringList(pAntenna->m_lstDfMethodNames)}};
    if (pAntenna->m_bPolarizationSupport)
        antenna.insert("polarisation", tools.TranslatePolarisationMode(pAntenna->m_ePolarizationMode));
    return antenna;
}

QJsonArray ReportCollector::CollectOperationModes() const
{
    QJsonArray modes;
    for (EOperationMode mode : s_aOPERATION_MODES) {
        modes.append(QJsonObject{{"mode", static_cast<int>(mode)},
                                 {"minFreq", m_characteristics.GetMinFreq(mode)},
                                 {"maxFreq", m_characteristics.GetMaxFreq(mode)}});
    }
    return modes;
}

QJsonObject ReportCollector::CollectRange(const QString& label, double start, double stop) const
{
    const KVTCharacteristicsTools tools;
    QStringList methods;
    for (EKVTMethod method : m_characteristics.GetAvailableDfMethodsForFreq(start, stop))
        methods.append(tools.TranslateDfMethod(method));
    QStringList polarisations;
    for (EKVTPolarisation polarisation : m_characteristics.GetAvailablePolarisationModesForFreq(start, stop)) {
        const QString text = tools.TranslatePolarisationMode(polarisation);
        if (!polarisations.contains(text))
            polarisations.append(text);
    }
    QJsonArray modes;
    for (EOperationMode mode : s_aOPERATION_MODES)
        modes.append(CollectModeForRange(mode, start, stop));

    const AntennaData* pAntenna = m_characteristics.GetAntennaForFrequency(start, false);
    return QJsonObject{{"label", label},
                       {"start", start},
                       {"stop", stop},
                       {"antenna", pAntenna ? QJsonValue(pAntenna->m_strName) : QJsonValue()},
                       {"rangeType", RangeTypeText(m_characteristics.GetRangeTypeForFrequency(start))},
                       {"dfMethods", QJsonArray::fromStringList(methods)},
                       {"polarisations", QJsonArray::fromStringList(polarisations)},
                       {"modes", modes}};
}

QJsonObject ReportCollector::CollectModeForRange(EOperationMode mode, double start, double stop) const
{
    QJsonArray realtime;
    for (double bandwidth : m_characteristics.GetRealtimeBandwidths(mode, start, stop)) {
        realtime.append(QJsonObject{
            {"bandwidth", bandwidth},
            {"resolutionBandwidths", ToJsonArray(m_characteristics.GetResolutionBandwidths(mode, start, stop, bandwidth))},
            {"defaultResolutionBandwidth",
             m_characteristics.GetDefaultResolutionBandwidth(mode, start, stop, bandwidth)}});
    }
    return QJsonObject{
        {"mode", static_cast<int>(mode)},
        {"sampleMode", static_cast<int>(m_characteristics.GetBestSampleMode(mode, start, stop,
                                                                            KVTCharacteristics::fBANDWIDTH_ANY))},
        {"defaultRealtimeBandwidth", m_characteristics.GetDefaultRealtimeBandwidth(mode, start, stop)},
        {"realtimeBandwidths", realtime}};
}
