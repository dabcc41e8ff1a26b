#include "bench/tunedwatch.h"

#include "valueframework/valueclasses/valuebase.h"

TunedWatch::TunedWatch(values::ValueBase* pValue)
    : m_pValue(pValue)
{
    m_pValue->AddObserver(this);
}

TunedWatch::~TunedWatch()
{
    m_pValue->DeleteObserver(this);
}

void TunedWatch::Expect(const QString& text, qint64 nChangedAt)
{
    m_strExpected = text;
    m_nChangedAt = nChangedAt;
    m_bTuned = false;
}

void TunedWatch::Update(Observable*, TChangeCode code)
{
    if (m_bTuned || code != ChangeCode::ValueChanged || m_pValue->GetStringValue() != m_strExpected)
        return;
    m_bTuned = true;
    m_latencies.Add(LatencySummary::Now() - m_nChangedAt);
    if (m_tuned)
        m_tuned();
}
