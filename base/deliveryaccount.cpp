#include "base/deliveryaccount.h"

#include <algorithm>

void DeliveryAccount::Offer(quint64 nCount)
{
    m_nPending += nCount;
}

void DeliveryAccount::Deliver(quint64 nCount)
{
    m_nDelivered += Take(nCount);
}

void DeliveryAccount::Lose(quint64 nCount, const QString& reason)
{
    m_nLost += Take(nCount);
    m_strLastFailure = reason;
}

quint64 DeliveryAccount::Take(quint64 nCount)
{
    const quint64 taken = std::min(nCount, m_nPending);
    m_nPending -= taken;
    return taken;
}
