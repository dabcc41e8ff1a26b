#include "devicecontrol/directionfinder/kvtcommon/displayfilterrange.h"

#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valueobservermacros.h"

namespace
{

void Trace(const char* text, quint16 nLine)
{
    if (ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QString::fromLatin1(text), __FILE__, nLine);
}

} // namespace

DisplayFilterRange::DisplayFilterRange(const QString& name, const QString& basePath)
    : m_pFilterRangesForDisplay(
          values::GetOrCreateValue<values::ValueList<values::QuadFloat>>(basePath + QLatin1Char('/') + name))
{
    if (m_pFilterRangesForDisplay == nullptr && ErrorHandler::Instance().AssertsEnabled())
        _Q_assert(L"m_pFilterRangesForDisplay", KVT_WIDE(__FILE__), __LINE__);
}

DisplayFilterRange::DisplayFilterRange(const DisplayFilterRange& other) = default;
DisplayFilterRange& DisplayFilterRange::operator=(const DisplayFilterRange& other) = default;
DisplayFilterRange::~DisplayFilterRange() = default;

void DisplayFilterRange::Reset()
{
    if (m_pFilterRangesForDisplay == nullptr)
        return;
    if (m_pFilterRangesForDisplay->IsTransactionActive())
    {
        Trace("DisplayFilterRange::Reset(): Stopping already running transaction.", __LINE__);
        Publish();
    }
    m_pFilterRangesForDisplay->StartTransaction(nullptr);
    m_pFilterRangesForDisplay->Clear(nullptr);
}

void DisplayFilterRange::AddDeviceFilterRange(const DeviceFilterRange& range)
{
    if (m_pFilterRangesForDisplay == nullptr)
        return;
    for (const DeviceFilterRange::Range& gap : range.GetGaps())
        m_pFilterRangesForDisplay->PushBack(
            values::QuadFloat(range.m_fFirstExtent, range.m_fSecondExtent, gap.first, gap.second), nullptr);
}

void DisplayFilterRange::Publish()
{
    if (m_pFilterRangesForDisplay == nullptr)
        return;
    if (m_pFilterRangesForDisplay->IsTransactionActive())
        m_pFilterRangesForDisplay->EndTransaction(ChangeCode::ValueChanged, nullptr);
    else
        Trace("DisplayFilterRange::Publish(): No active transaction.", __LINE__);
}
