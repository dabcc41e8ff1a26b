#pragma once

#include "kvthost_export.h"

#include <QString>
#include <QtGlobal>

/// What became of the items (sentences, messages) given to one output: each is offered once and
/// then pending until it is delivered or lost, so offered = delivered + lost + pending at any time.
/// Keeps the reason of the last failure, as the system or the device tells it ("No space left on
/// device", "Permission denied").
///
/// Delivering or losing more than is pending takes only what is pending. A plain value: copy it to
/// keep a snapshot.
class KVTHOST_EXPORT DeliveryAccount
{
public:
    quint64 GetOffered() const { return m_nDelivered + m_nLost + m_nPending; }
    quint64 GetDelivered() const { return m_nDelivered; }
    quint64 GetLost() const { return m_nLost; }
    /// Offered, and neither delivered nor lost yet (for example waiting for a slow line).
    quint64 GetPending() const { return m_nPending; }
    /// Empty while nothing failed.
    QString GetLastFailure() const { return m_strLastFailure; }
    /// True while nothing offered was lost or is still on its way.
    bool IsComplete() const { return m_nLost == 0 && m_nPending == 0; }

    void Offer(quint64 nCount);
    void Deliver(quint64 nCount);
    /// Also with a count of 0: a failure that lost nothing (yet) still becomes the last failure.
    void Lose(quint64 nCount, const QString& reason);

private:
    quint64 Take(quint64 nCount);

    quint64 m_nDelivered = 0;
    quint64 m_nLost = 0;
    quint64 m_nPending = 0;
    QString m_strLastFailure;
};
