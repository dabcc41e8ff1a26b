#include "devicecontrol/directionfinder/kvtcommon/ohpparamsvtsynchronizer.h"

#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueobservermacros.h"

namespace NxKVTCommon
{

namespace
{

/// The T at the path and whether it was there already; a missing one is created.
template <class T>
T* FindOrCreate(const QString& path, bool& rbFound)
{
    T* pValue = values::Tree::Instance()->Find<T>(path);
    rbFound = pValue != nullptr;
    return rbFound ? pValue : values::GetOrCreateValue<T>(path);
}

/// Lets go of the value when it is the source and has announced its end.
template <class T>
void ForgetIfGone(T*& rpValue, const Observable* pSource, IObserver* pObserver)
{
    if (rpValue != nullptr && pSource == rpValue && rpValue->GetState() == values::ValueBase::STATE_GONE)
        values::ReleaseValue(rpValue, pObserver);
}

} // namespace

OHPParamsVtSynchronizer::OHPParamsVtSynchronizer(OverheadPassParams& params, const QString& basePath)
    : m_params(params)
{
    const QString strPath = (basePath.isEmpty() ? QStringLiteral("/KVTServer") : basePath) + "/OverheadPass/";
    bool bFound = false;

    m_pThreshold = FindOrCreate<values::ValueNumeric<int>>(strPath + "Threshold", bFound);
    if (bFound)
        m_params.SetThreshold(m_pThreshold->GetValue(), this);
    else if (m_pThreshold != nullptr)
    {
        m_pThreshold->SetMinMax(THRESHOLD_MIN, THRESHOLD_MAX, 1, nullptr);
        m_pThreshold->SetValue(m_params.GetThreshold(), this);
    }
    if (m_pThreshold != nullptr)
        m_pThreshold->AddObserver(this);

    m_pValid = FindOrCreate<values::Value<bool>>(strPath + "Valid", bFound);
    if (bFound)
        m_params.SetValid(m_pValid->GetValue(), this);
    else if (m_pValid != nullptr)
        m_pValid->SetValue(m_params.IsValid(), this);
    if (m_pValid != nullptr)
        m_pValid->AddObserver(this);

    m_params.AddObserver(this);
}

OHPParamsVtSynchronizer::OHPParamsVtSynchronizer(const OHPParamsVtSynchronizer& other) = default;

OHPParamsVtSynchronizer::~OHPParamsVtSynchronizer()
{
    m_params.DeleteObserver(this);
    values::ReleaseValue(m_pThreshold, this);
    values::ReleaseValue(m_pValid, this);
}

void OHPParamsVtSynchronizer::Update(Observable* pSource, TChangeCode code)
{
    if (code == ChangeCode::StateChanged)
    {
        ForgetIfGone(m_pThreshold, pSource, this);
        ForgetIfGone(m_pValid, pSource, this);
    }
    else if (code == ChangeCode::ValueChanged)
    {
        if (m_pThreshold != nullptr && pSource == m_pThreshold)
            m_params.SetThreshold(m_pThreshold->GetValue(), this);
        else if (m_pValid != nullptr && pSource == m_pValid)
            m_params.SetValid(m_pValid->GetValue(), this);
        else if (pSource == &m_params)
        {
            if (m_pThreshold != nullptr)
                m_pThreshold->SetValue(m_params.GetThreshold(), this);
            if (m_pValid != nullptr)
                m_pValid->SetValue(m_params.IsValid(), this);
        }
    }
}

} // namespace NxKVTCommon
