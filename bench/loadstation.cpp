#include "bench/loadstation.h"

#include "bench/latencysummary.h"

#include <QDateTime>

namespace
{

const int TICK_MS = 20;

} // namespace

LoadStation::LoadStation(const QString& name, int nBearingsPerSecond, QObject* pParent)
    : QObject(pParent)
    , m_strName(name)
    , m_nBearingsPerSecond(nBearingsPerSecond)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(TICK_MS);
    connect(&m_timer, &QTimer::timeout, this, &LoadStation::OnTick);
}

bool LoadStation::Connect(int nPort, const QString& password, int nTimeoutMs)
{
    MqttConnection::Settings settings;
    settings.nPort = nPort;
    if (!password.isEmpty())
    {
        settings.strUserName = m_strName;
        settings.strPassword = password;
    }
    const StationStatus status{m_strName, 54.5, 10.25, 0.0, 20e6, 3e9};
    m_bConnected = m_output.Start(settings, status) && m_output.WaitForConnection(nTimeoutMs);
    return m_bConnected;
}

void LoadStation::StartPublishing()
{
    m_nStartedAt = LatencySummary::Now();
    m_timer.start();
}

qint64 LoadStation::GetPublishedAt(qint64 nSeq) const
{
    return nSeq >= 1 && nSeq <= GetPublished() ? m_lstPublishedAt[static_cast<size_t>(nSeq - 1)] : -1;
}

void LoadStation::OnTick()
{
    const qint64 nNow = LatencySummary::Now();
    if (m_output.IsConnected() != m_bConnected)
    {
        m_bConnected = !m_bConnected;
        m_lstConnectionChanges.push_back(nNow);
    }
    const qint64 nDue = (nNow - m_nStartedAt) / 1000000 * m_nBearingsPerSecond / 1000;
    while (GetPublished() < nDue)
    {
        kvt::BearingRecord bearing;
        bearing.nSeq = GetPublished() + 1;
        // The wall-clock time of publishing, as a station stamps its bearings.
        bearing.nTimeMs = QDateTime::currentMSecsSinceEpoch();
        bearing.fLatitude = 54.5;
        bearing.fLongitude = 10.25;
        bearing.fBearing = static_cast<double>(bearing.nSeq % 3600) / 10.0;
        bearing.fSigma = 1.5;
        bearing.fQuality = 87;
        bearing.fFrequency = 145500000;
        bearing.fLevel = -62.5;
        m_lstPublishedAt.push_back(LatencySummary::Now());
        m_output.Publish(bearing);
    }
}
