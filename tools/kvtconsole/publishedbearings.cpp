#include "tools/kvtconsole/publishedbearings.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "tools/kvtstation/devicevalue.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"

namespace {

template <class T>
void ForgetWhenGone(T*& rpValue, Observable* pSender, IObserver* pObserver)
{
    if (rpValue == nullptr || pSender != rpValue || rpValue->GetState() != values::ValueBase::STATE_GONE)
        return;
    rpValue->DeleteObserver(pObserver);
    rpValue = nullptr;
}

}

PublishedBearings::PublishedBearings(const QString& devicePath, Listener listener)
    : m_pAzimuth(DeviceValue<values::Value<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuth))
    , m_pAzimuthList(
          DeviceValue<values::ValueList<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuthList))
    , m_listener(std::move(listener))
{
    if (m_pAzimuth != nullptr)
        m_pAzimuth->AddObserver(this);
    if (m_pAzimuthList != nullptr)
        m_pAzimuthList->AddObserver(this);
}

PublishedBearings::~PublishedBearings()
{
    if (m_pAzimuth != nullptr)
        m_pAzimuth->DeleteObserver(this);
    if (m_pAzimuthList != nullptr)
        m_pAzimuthList->DeleteObserver(this);
}

void PublishedBearings::Update(Observable* pSender, TChangeCode code)
{
    if (code == ChangeCode::StateChanged) {
        ForgetWhenGone(m_pAzimuth, pSender, this);
        ForgetWhenGone(m_pAzimuthList, pSender, this);
        return;
    }
    if (code != ChangeCode::ValueChanged)
        return;
    if (m_pAzimuthList != nullptr && pSender == m_pAzimuthList) {
        const std::vector<values::BearingResult>& block = m_pAzimuthList->GetItems();
        m_bAnnouncementDue = !block.empty();
        if (m_bAnnouncementDue) {
            m_lastOfBlock = block.back();
            m_listener(block);
        }
        return;
    }
    if (m_pAzimuth == nullptr || pSender != m_pAzimuth)
        return;
    const values::BearingResult& result = m_pAzimuth->GetValue();
    if (m_bAnnouncementDue && result == m_lastOfBlock) {
        m_bAnnouncementDue = false;
        return;
    }
    m_bAnnouncementDue = false;
    m_listener({result});
}
