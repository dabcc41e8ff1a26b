#include "devicecontrol/directionfinder/kvtcommon/bearingpipeline.h"

#include "devicecontrol/directionfinder/kvtcommon/driverpassthroughrecords.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

namespace NxKVTCommon
{

namespace
{

const QString DATA_VALID = QStringLiteral("/Res/DfR/DataValid");
const QString DATA_STATE_INFO = QStringLiteral("/Res/DfR/DataStateInfo");
const QString CONNECTION_SPEED = QStringLiteral("/Res/DfR/ConnectionSpeed");

/// The value of type T at the path, created when the path is free.
template <class T>
T* FindOrCreate(const QString& path)
{
    values::Tree* pTree = values::Tree::Instance();
    if (T* pValue = pTree->Find<T>(path))
        return pValue;
    return pTree->CreateValue<T>(path);
}

QString PathOf(const QString& devicePath, const values::ValueDescriptor& descriptor)
{
    return devicePath + descriptor.PathName();
}

} // namespace

BearingPipeline::BearingPipeline(const QString& devicePath, OverheadPassParams& overheadPassParams)
    : m_overheadPassFilter(overheadPassParams)
    , m_pDataValid(FindOrCreate<values::Value<bool>>(DataValidPath(devicePath)))
{
    FindOrCreate<values::Value<QString>>(DataStateInfoPath(devicePath));
    FindOrCreate<values::Value<int>>(ConnectionSpeedPath(devicePath));
    m_pitchRollFilter.SetPitchValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdPitch));
    m_pitchRollFilter.SetRollValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdRoll));
    m_pitchRollFilter.SetPitchThresholdValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdPitchThreshold));
    m_pitchRollFilter.SetRollThresholdValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdRollThreshold));
    m_pitchRollFilter.SetKVTDataValidValuePath(DataValidPath(devicePath));
    m_pitchRollFilter.SetKVTDataStateInfoValuePath(DataStateInfoPath(devicePath));
    m_connectionSpeedFilter.SetConnectionSpeedValuePath(ConnectionSpeedPath(devicePath));
}

BearingPipeline::~BearingPipeline() = default;

QString BearingPipeline::ConnectionSpeedPath(const QString& devicePath)
{
    return devicePath + CONNECTION_SPEED;
}

QString BearingPipeline::DataValidPath(const QString& devicePath)
{
    return devicePath + DATA_VALID;
}

QString BearingPipeline::DataStateInfoPath(const QString& devicePath)
{
    return devicePath + DATA_STATE_INFO;
}

quint64 BearingPipeline::GetRejected(FilterRejectReason eReason) const
{
    const int index = static_cast<int>(eReason);
    return index >= 0 && index < FILTER_REJECT_REASON_COUNT ? m_aRejected[static_cast<size_t>(index)] : 0;
}

void BearingPipeline::Reject(Outcome& rOutcome, const values::BearingResult& result, FilterRejectReason eReason)
{
    rOutcome.lstRejected.push_back({result, eReason});
    ++m_aRejected[static_cast<size_t>(eReason)];
}

BearingPipeline::Outcome BearingPipeline::ProcessBlock(quint64 nTimeStamp, quint32 nCount,
                                                       const values::Bearing* pBearings)
{
    if (pBearings == nullptr)
        nCount = 0;
    m_lstScratch.assign(pBearings, pBearings + nCount);
    m_nProduced += nCount;
    Outcome outcome;
    if (m_pitchRollFilter.IsFilterConditionMet()) {
        m_pitchRollFilter.Apply(nCount, m_lstScratch.data());
        outcome.bTilted = true;
        for (const values::Bearing& bearing : m_lstScratch)
            Reject(outcome, values::BearingResult(bearing, nTimeStamp), FilterRejectReason::Tilt);
        return outcome;
    }
    if (m_pDataValid != nullptr)
        m_pDataValid->SetValue(true);
    m_connectionSpeedFilter.Apply(nCount, m_lstScratch.data());
    outcome.lstAccepted.reserve(nCount);
    for (const values::Bearing& bearing : m_lstScratch) {
        values::BearingResult result(bearing, nTimeStamp);
        if (bearing.quality <= 0) {
            Reject(outcome, result, FilterRejectReason::NoQuality);
            continue;
        }
        m_overheadPassFilter.Apply(result);
        // The filter changes the quality of the results it marks, and nothing else.
        if (result.GetQuality() != bearing.quality) {
            Reject(outcome, result, FilterRejectReason::OverheadPass);
            continue;
        }
        outcome.lstAccepted.push_back(result);
        ++m_nAccepted;
    }
    return outcome;
}

BearingPipeline::Outcome BearingPipeline::ProcessResult(const FFMData& data)
{
    const values::Bearing bearing{data.m_fFrequency, static_cast<qint16>(data.m_nLevel),
                                  static_cast<quint16>(data.m_nAzimuth), static_cast<qint16>(data.m_nElevation),
                                  static_cast<qint16>(data.m_nQuality)};
    return ProcessBlock(data.m_nTimeStamp, 1, &bearing);
}

} // namespace NxKVTCommon
