#pragma once

#include "network/brokerbearingoutput.h"

#include <QObject>
#include <QTimer>

#include <vector>

/// One simulated station of the load measurement: its own broker output (and
/// so its own MQTT session), publishing bearings at a fixed rate by the wall
/// clock. A late timer is made up for at the next tick, so the rate holds
/// over the run even on a busy machine.
///
/// It keeps the steady-clock time (LatencySummary::Now()) at which each
/// bearing was published, for the subscriber's latencies, and the times at
/// which its connection was seen to go down and come back (checked on every
/// tick).
class LoadStation : public QObject
{
    Q_OBJECT

public:
    LoadStation(const QString& name, int nBearingsPerSecond, QObject* pParent = nullptr);

    /// Connects to the broker on the loopback port, logged in as its name
    /// with `password` unless that is empty; false when not connected within nTimeoutMs.
    bool Connect(int nPort, const QString& password, int nTimeoutMs);
    void StartPublishing();
    void StopPublishing() { m_timer.stop(); }
    /// Ends the output's session (see BrokerBearingOutput::Stop()).
    void Stop(int nDrainMs) { m_output.Stop(nDrainMs); }

    QString GetName() const { return m_strName; }
    const DeliveryAccount& GetAccount() const { return m_output.GetAccount(); }
    qint64 GetPublished() const { return static_cast<qint64>(m_lstPublishedAt.size()); }
    /// When bearing nSeq (from 1) was published; -1 for one never published.
    qint64 GetPublishedAt(qint64 nSeq) const;
    /// Steady-clock times of the ticks on which the connection was down or up
    /// again after the previous tick, alternating, the first one "down".
    const std::vector<qint64>& GetConnectionChanges() const { return m_lstConnectionChanges; }

private:
    void OnTick();

    QString m_strName;
    int m_nBearingsPerSecond;
    BrokerBearingOutput m_output;
    QTimer m_timer;
    qint64 m_nStartedAt = 0;
    bool m_bConnected = false;
    std::vector<qint64> m_lstPublishedAt;
    std::vector<qint64> m_lstConnectionChanges;
};
