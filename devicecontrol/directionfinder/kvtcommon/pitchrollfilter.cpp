#include "devicecontrol/directionfinder/kvtcommon/pitchrollfilter.h"

#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <QCoreApplication>

#include <cmath>

namespace NxKVTCommon
{

namespace
{

template <class T>
void TakeValueOnce(T*& rpValue, const QString& path)
{
    if (rpValue == nullptr)
        rpValue = values::Tree::Instance()->Find<T>(path);
}

/// |current| ≥ |threshold|; false without both values and for a NaN (every comparison with NaN is false).
bool Exceeds(const values::ValueNumeric<double>* pCurrent, const values::ValueNumeric<double>* pThreshold)
{
    return pCurrent != nullptr && pThreshold != nullptr &&
           std::fabs(pCurrent->GetValue()) >= std::fabs(pThreshold->GetValue());
}

} // namespace

PitchRollFilter::PitchRollFilter()
    : m_pPitch(nullptr)
    , m_pRoll(nullptr)
    , m_pPitchThreshold(nullptr)
    , m_pRollThreshold(nullptr)
    , m_pKVTDataValid(nullptr)
    , m_pKVTDataStateInfo(nullptr)
{
}

PitchRollFilter::PitchRollFilter(const PitchRollFilter& other) = default;
PitchRollFilter& PitchRollFilter::operator=(const PitchRollFilter& other) = default;
PitchRollFilter::~PitchRollFilter() = default;

void PitchRollFilter::SetPitchValuePath(const QString& path)
{
    TakeValueOnce(m_pPitch, path);
}

void PitchRollFilter::SetRollValuePath(const QString& path)
{
    TakeValueOnce(m_pRoll, path);
}

void PitchRollFilter::SetPitchThresholdValuePath(const QString& path)
{
    TakeValueOnce(m_pPitchThreshold, path);
}

void PitchRollFilter::SetRollThresholdValuePath(const QString& path)
{
    TakeValueOnce(m_pRollThreshold, path);
}

void PitchRollFilter::SetKVTDataValidValuePath(const QString& path)
{
    TakeValueOnce(m_pKVTDataValid, path);
}

void PitchRollFilter::SetKVTDataStateInfoValuePath(const QString& path)
{
    TakeValueOnce(m_pKVTDataStateInfo, path);
}

bool PitchRollFilter::IsFilterConditionMet() const
{
    return PitchThresholdExceeded() || RollThresholdExceeded();
}

bool PitchRollFilter::PitchThresholdExceeded() const
{
    return Exceeds(m_pPitch, m_pPitchThreshold);
}

bool PitchRollFilter::RollThresholdExceeded() const
{
    return Exceeds(m_pRoll, m_pRollThreshold);
}

void PitchRollFilter::Apply(values::BearingResult& result)
{
    if (!result.IsValueValid(values::BearingResult::VALUE_QUALITY))
        return;
    result.SetQuality(0);
    CountRejects(FilterRejectReason::Tilt, 1);
    ReportRejection();
}

void PitchRollFilter::Apply(unsigned int count, values::Bearing* bearings)
{
    if (bearings != nullptr)
    {
        for (unsigned int i = 0; i < count; ++i)
            bearings[i].quality = 0;
        CountRejects(FilterRejectReason::Tilt, count);
    }
    ReportRejection();
}

void PitchRollFilter::ReportRejection()
{
    if (m_pKVTDataValid != nullptr)
        m_pKVTDataValid->SetValue(false, nullptr);
    if (m_pKVTDataStateInfo != nullptr)
        m_pKVTDataStateInfo->SetValue(QCoreApplication::translate("QObject", "Pitch/Roll value exceeds threshold."),
                                      nullptr);
}

} // namespace NxKVTCommon
