// Many stations on one broker: every station its own broker output and MQTT
// session, all in this process and its one event loop, publishing bearings at
// a fixed rate; one subscriber in the same process takes every station's
// bearings and measures the latency from publishing to arrival on one steady
// clock. Optionally the broker is killed (SIGKILL) mid-run and started again
// on the same port after an outage (or stopped with SIGTERM, which saves its
// persistence file first). Optionally the kvtfix program follows the broker as
// a second, real consumer, with its record of the bearings it used, and is
// killed (SIGKILL) mid-run and started again with the same session.
//
// Not a Google Benchmark: it measures one long run and prints its account.
// Exit code 1 when a station lost a bearing or its account does not add up, 2
// when the broker, a station or the subscriber could not start.
#include "bench/bearingsubscriber.h"
#include "bench/kvtfixconsumer.h"
#include "bench/loadstation.h"
#include "tests/common/mosquittobroker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

const int CONNECT_MS = 10000;
const int DRAIN_MS = 10000;
// After the stations' drain, for the last messages on their way to the subscriber.
const int SETTLE_MS = 3000;
// For kvtfix, which may have a queue of the broker's to work through.
const int KVTFIX_SETTLE_MS = 20000;
const int RECORD_POLL_MS = 100;
const qint64 NS_PER_MS = 1000000;

struct Options
{
    int nStations = 20;
    int nRate = 50;
    int nSeconds = 60;
    /// Lines for the broker's configuration ("set_tcp_nodelay true").
    QStringList lstBrokerLines;
    int nKillAt = 0;
    int nOutage = 5;
    /// 0: the connection's own reconnect delays.
    int nSubscriberMaxDelay = 0;
    /// The broker keeps sessions and queues on disk (saved every second unless a broker line says otherwise).
    bool bPersistent = false;
    /// SIGTERM instead of SIGKILL at --kill-at.
    bool bStopCleanly = false;
    /// Passwords and the network's access list; every client logs in.
    bool bLocked = false;
    /// The kvtfix binary to run as a second consumer; empty: none.
    QString strKvtfix;
    int nKillKvtfixAt = 0;
    int nKvtfixOutage = 3;
};

Options ParseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stations publishing bearings on one broker."));
    parser.addHelpOption();
    const QCommandLineOption stations(QStringLiteral("stations"), QStringLiteral("Number of stations."),
                                      QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Bearings per second and station."),
                                  QStringLiteral("n"), QStringLiteral("50"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Length of the run."),
                                     QStringLiteral("s"), QStringLiteral("60"));
    const QCommandLineOption brokerLine(QStringLiteral("broker-line"),
                                        QStringLiteral("A line for the broker's configuration (repeatable)."),
                                        QStringLiteral("line"));
    const QCommandLineOption killAt(QStringLiteral("kill-at"),
                                    QStringLiteral("Kill the broker after s seconds (0: never)."),
                                    QStringLiteral("s"), QStringLiteral("0"));
    const QCommandLineOption outage(QStringLiteral("outage"), QStringLiteral("Seconds until the broker restarts."),
                                    QStringLiteral("s"), QStringLiteral("5"));
    const QCommandLineOption subscriberDelay(QStringLiteral("subscriber-max-delay"),
                                             QStringLiteral("Longest reconnect delay of the subscriber (0: default)."),
                                             QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption persistent(QStringLiteral("persistent"),
                                        QStringLiteral("Broker persistence on, saved every second."));
    const QCommandLineOption stopCleanly(QStringLiteral("stop-cleanly"),
                                         QStringLiteral("Stop the broker with SIGTERM at --kill-at, not SIGKILL."));
    const QCommandLineOption locked(QStringLiteral("locked"),
                                    QStringLiteral("Passwords and the network's access list (scripts/network.acl)."));
    const QCommandLineOption kvtfix(QStringLiteral("kvtfix"),
                                    QStringLiteral("Run this kvtfix binary as a consumer too."), QStringLiteral("file"));
    const QCommandLineOption killKvtfixAt(QStringLiteral("kill-kvtfix-at"),
                                          QStringLiteral("Kill kvtfix (SIGKILL) after s seconds (0: never)."),
                                          QStringLiteral("s"), QStringLiteral("0"));
    const QCommandLineOption kvtfixOutage(QStringLiteral("kvtfix-outage"),
                                          QStringLiteral("Seconds until kvtfix is started again."), QStringLiteral("s"),
                                          QStringLiteral("3"));
    parser.addOptions({stations, rate, seconds, brokerLine, killAt, outage, subscriberDelay, persistent, stopCleanly,
                       locked, kvtfix, killKvtfixAt, kvtfixOutage});
    parser.process(app);
    Options options;
    options.nStations = std::max(1, parser.value(stations).toInt());
    options.nRate = std::max(1, parser.value(rate).toInt());
    options.nSeconds = std::max(1, parser.value(seconds).toInt());
    options.lstBrokerLines = parser.values(brokerLine);
    options.nKillAt = std::max(0, parser.value(killAt).toInt());
    options.nOutage = std::max(0, parser.value(outage).toInt());
    options.nSubscriberMaxDelay = std::max(0, parser.value(subscriberDelay).toInt());
    options.bPersistent = parser.isSet(persistent);
    options.bStopCleanly = parser.isSet(stopCleanly);
    options.bLocked = parser.isSet(locked);
    options.strKvtfix = parser.value(kvtfix);
    options.nKillKvtfixAt = std::max(0, parser.value(killKvtfixAt).toInt());
    options.nKvtfixOutage = std::max(0, parser.value(kvtfixOutage).toInt());
    return options;
}

/// User and system CPU seconds of a process so far, from /proc; 0 when unreadable.
double ProcessCpuSeconds(qint64 nPid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(nPid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0.0;
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0.0;
    return (fields[11].toDouble() + fields[12].toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double OwnCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// The first time in `changes` (down, up, down, ...) that the connection came back after nSince; -1 if never.
qint64 BackAfter(const std::vector<qint64>& changes, qint64 nSince)
{
    for (size_t i = 1; i < changes.size(); i += 2)
        if (changes[i] >= nSince)
            return changes[i];
    return -1;
}

/// The first time in `times` at or after nSince; -1 if none.
qint64 FirstAfter(const std::vector<qint64>& times, qint64 nSince)
{
    for (const qint64 nAt : times)
        if (nAt >= nSince)
            return nAt;
    return -1;
}

class Run
{
public:
    explicit Run(const Options& options)
        : m_options(options)
        , m_subscriber([this](const QString& station, qint64 nSeq) { return PublishedAt(station, nSeq); })
    {
    }

    int Execute()
    {
        for (int i = 1; i <= m_options.nStations; ++i)
            m_lstStations.push_back(std::make_unique<LoadStation>(QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0')),
                                                                  m_options.nRate));
        QString error;
        if (!StartBroker(error) || !StartConsumers(error))
            return Fail(error);
        for (const auto& pStation : m_lstStations)
            if (!pStation->Connect(m_broker.GetPort(), PasswordOf(pStation->GetName()), CONNECT_MS))
                return Fail(QStringLiteral("station %1 did not connect").arg(pStation->GetName()));
        // Every station's online status has reached the subscriber: its subscriptions stand.
        if (!m_subscriber.WaitUntil([this] { return m_subscriber.GetOnlineStations() == m_options.nStations; },
                                    CONNECT_MS))
            return Fail(QStringLiteral("the subscriber does not see every station online"));

        const double fOwnCpu = OwnCpuSeconds();
        m_fBrokerCpu = -ProcessCpuSeconds(m_broker.GetPid());
        m_fKvtfixCpu = -ProcessCpuSeconds(m_pKvtfix != nullptr ? m_pKvtfix->GetPid() : 0);
        const qint64 nBegin = LatencySummary::Now();
        // Spread over one tick, as stations that were not switched on together.
        for (size_t i = 0; i < m_lstStations.size(); ++i)
            QTimer::singleShot(static_cast<int>(i * 20 / m_lstStations.size()), m_lstStations[i].get(),
                               &LoadStation::StartPublishing);
        ScheduleOutages();
        QTimer::singleShot(m_options.nSeconds * 1000, Qt::PreciseTimer, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        const double fBrokerCpuUsed = m_fBrokerCpu + ProcessCpuSeconds(m_broker.GetPid());
        const double fKvtfixCpuUsed = m_fKvtfixCpu + ProcessCpuSeconds(m_pKvtfix != nullptr ? m_pKvtfix->GetPid() : 0);
        const double fOwnCpuUsed = OwnCpuSeconds() - fOwnCpu;
        const double fSeconds = static_cast<double>(LatencySummary::Now() - nBegin) / 1e9;

        for (const auto& pStation : m_lstStations)
            pStation->StopPublishing();
        for (const auto& pStation : m_lstStations)
            pStation->Stop(DRAIN_MS);
        m_subscriber.WaitUntil([this] { return m_subscriber.GetReceivedCount() >= TotalPublished(); }, SETTLE_MS);

        std::printf("%d stations x %d bearings/s for %.1f s, broker %s\n", m_options.nStations, m_options.nRate,
                    fSeconds,
                    m_options.lstBrokerLines.isEmpty() ? "defaults" : qPrintable(m_options.lstBrokerLines.join(", ")));
        std::printf("CPU during the run: this process %.1f s (%.0f %% of one core), broker %.1f s (%.0f %%)",
                    fOwnCpuUsed, 100.0 * fOwnCpuUsed / fSeconds, fBrokerCpuUsed, 100.0 * fBrokerCpuUsed / fSeconds);
        if (m_pKvtfix != nullptr)
            std::printf(", kvtfix %.1f s (%.0f %%)", fKvtfixCpuUsed, 100.0 * fKvtfixCpuUsed / fSeconds);
        std::printf("\n");
        bool bAccountsAddUp = PrintStations();
        PrintOutage();
        if (m_pKvtfix != nullptr)
            bAccountsAddUp = PrintKvtfix() && bAccountsAddUp;
        std::printf("latency publish to arrival: %s\n", qPrintable(m_subscriber.GetLatencies().ToText()));
        return bAccountsAddUp ? 0 : 1;
    }

private:
    QString PasswordOf(const QString& user) const
    {
        return m_options.bLocked ? MosquittoBroker::PasswordOf(user) : QString();
    }

    bool StartBroker(QString& rError)
    {
        m_broker.LogDefaultsOnly();
        if (m_options.bLocked)
        {
            QStringList users = {QStringLiteral("kvtfix")};
            for (const auto& pStation : m_lstStations)
                users << pStation->GetName();
            if (!m_broker.LockDown(users))
            {
                rError = m_broker.GetErrorText();
                return false;
            }
        }
        if (m_options.bPersistent)
        {
            m_broker.KeepSessions();
            if (m_options.lstBrokerLines.filter(QStringLiteral("autosave_interval")).isEmpty())
                m_broker.AddConfigurationLine(QStringLiteral("autosave_interval 1"));
        }
        for (const QString& line : m_options.lstBrokerLines)
            m_broker.AddConfigurationLine(line);
        if (!m_broker.Start())
        {
            rError = m_broker.GetErrorText();
            return false;
        }
        return true;
    }

    /// The subscriber, and kvtfix if asked for, both logged in as kvtfix when the broker is locked.
    bool StartConsumers(QString& rError)
    {
        const QString user = m_options.bLocked ? QStringLiteral("kvtfix") : QString();
        if (m_options.nSubscriberMaxDelay > 0)
            m_subscriber.SetReconnectDelays(std::min(250, m_options.nSubscriberMaxDelay), m_options.nSubscriberMaxDelay);
        if (!m_subscriber.Connect(m_broker.GetPort(), user, PasswordOf(user), CONNECT_MS))
        {
            rError = QStringLiteral("the subscriber did not connect");
            return false;
        }
        if (m_options.strKvtfix.isEmpty())
            return true;
        m_pKvtfix = std::make_unique<KvtfixConsumer>(m_options.strKvtfix, m_folder.path());
        if ((!user.isEmpty() && !m_pKvtfix->SetLogin(user, PasswordOf(user)))
            || !m_pKvtfix->Start(m_broker.GetPort(), CONNECT_MS))
        {
            rError = QStringLiteral("kvtfix did not connect: %1").arg(m_pKvtfix->GetErrors());
            return false;
        }
        QObject::connect(&m_recordPoll, &QTimer::timeout, [this] { PollRecord(); });
        m_recordPoll.start(RECORD_POLL_MS);
        return true;
    }

    void ScheduleOutages()
    {
        if (m_options.nKillAt > 0)
        {
            QTimer::singleShot(m_options.nKillAt * 1000, Qt::PreciseTimer, [this] { KillBroker(); });
            QTimer::singleShot((m_options.nKillAt + m_options.nOutage) * 1000, Qt::PreciseTimer, [this] { RestartBroker(); });
        }
        if (m_pKvtfix != nullptr && m_options.nKillKvtfixAt > 0)
        {
            QTimer::singleShot(m_options.nKillKvtfixAt * 1000, Qt::PreciseTimer, [this] {
                m_nKvtfixKilledAt = LatencySummary::Now();
                m_fKvtfixCpu += ProcessCpuSeconds(m_pKvtfix->GetPid());
                m_pKvtfix->Kill();
            });
            QTimer::singleShot((m_options.nKillKvtfixAt + m_options.nKvtfixOutage) * 1000, Qt::PreciseTimer, [this] {
                m_nKvtfixRestartedAt = LatencySummary::Now();
                m_nPublishedAtKvtfixRestart = TotalPublished();
                if (!m_pKvtfix->Start(m_broker.GetPort(), CONNECT_MS))
                    std::fprintf(stderr, "brokerloadbench: kvtfix did not come back\n");
            });
        }
    }

    /// Follows kvtfix's record: when it holds as many bearings as were published before a restart.
    void PollRecord()
    {
        m_pKvtfix->ReadRecord();
        const qint64 nNow = LatencySummary::Now();
        if (m_nRestartedAt != 0 && m_nCaughtUpAfterBroker == 0
            && m_pKvtfix->GetRecordedCount() >= m_nPublishedAtBrokerRestart)
            m_nCaughtUpAfterBroker = nNow;
        if (m_nKvtfixRestartedAt != 0 && m_nCaughtUpAfterKvtfix == 0
            && m_pKvtfix->GetRecordedCount() >= m_nPublishedAtKvtfixRestart)
            m_nCaughtUpAfterKvtfix = nNow;
    }

    int Fail(const QString& reason)
    {
        std::fprintf(stderr, "brokerloadbench: %s\n", qPrintable(reason));
        return 2;
    }

    qint64 PublishedAt(const QString& station, qint64 nSeq) const
    {
        for (const auto& pStation : m_lstStations)
            if (pStation->GetName() == station)
                return pStation->GetPublishedAt(nSeq);
        return -1;
    }

    int TotalPublished() const
    {
        qint64 nTotal = 0;
        for (const auto& pStation : m_lstStations)
            nTotal += pStation->GetPublished();
        return static_cast<int>(nTotal);
    }

    void KillBroker()
    {
        m_nKilledAt = LatencySummary::Now();
        m_fBrokerCpu += ProcessCpuSeconds(m_broker.GetPid());
        if (m_options.bStopCleanly)
            m_broker.Stop();
        else
            ::kill(static_cast<pid_t>(m_broker.GetPid()), SIGKILL);
    }

    void RestartBroker()
    {
        m_nPublishedAtBrokerRestart = TotalPublished();
        // Start() reaps the killed process and keeps the port.
        if (!m_broker.Start())
            std::fprintf(stderr, "brokerloadbench: restart failed: %s\n", qPrintable(m_broker.GetErrorText()));
        m_nRestartedAt = LatencySummary::Now();
    }

    /// One line per station; whether every account adds up with nothing lost.
    bool PrintStations() const
    {
        bool bOk = m_subscriber.GetUnexpected() == 0;
        qint64 nPublished = 0, nAcknowledged = 0, nLost = 0, nReceived = 0, nDuplicates = 0;
        std::printf("station  published  acknowledged  lost  received  duplicates\n");
        for (const auto& pStation : m_lstStations)
        {
            const DeliveryAccount& account = pStation->GetAccount();
            const auto nStationReceived = static_cast<qint64>(m_subscriber.GetReceived(pStation->GetName()).size());
            const int nStationDuplicates = m_subscriber.GetDuplicates(pStation->GetName());
            const bool bAddsUp = account.GetOffered() == static_cast<quint64>(pStation->GetPublished())
                && account.GetPending() == 0 && account.GetLost() == 0;
            bOk = bOk && bAddsUp;
            std::printf("%-7s  %9lld  %12llu  %4llu  %8lld  %10d%s%s\n", qPrintable(pStation->GetName()),
                        pStation->GetPublished(), account.GetDelivered(), account.GetLost(), nStationReceived,
                        nStationDuplicates, bAddsUp ? "" : "  does not add up: ",
                        bAddsUp ? "" : qPrintable(account.GetLastFailure()));
            nPublished += pStation->GetPublished();
            nAcknowledged += static_cast<qint64>(account.GetDelivered());
            nLost += static_cast<qint64>(account.GetLost());
            nReceived += nStationReceived;
            nDuplicates += nStationDuplicates;
        }
        std::printf("all      %9lld  %12lld  %4lld  %8lld  %10lld\n", nPublished, nAcknowledged, nLost, nReceived,
                    nDuplicates);
        std::printf("messages not from a station's publishing: %d\n", m_subscriber.GetUnexpected());
        return bOk;
    }

    /// What the subscriber missed, by when it was published, and how long the reconnects took.
    void PrintOutage() const
    {
        if (m_nKilledAt == 0)
            return;
        qint64 nBefore = 0, nDuring = 0, nAfter = 0;
        qint64 nLastStationBack = m_nRestartedAt;
        bool bAllBack = true;
        for (const auto& pStation : m_lstStations)
        {
            const std::set<qint64>& received = m_subscriber.GetReceived(pStation->GetName());
            for (qint64 nSeq = 1; nSeq <= pStation->GetPublished(); ++nSeq)
            {
                if (received.count(nSeq) > 0)
                    continue;
                const qint64 nAt = pStation->GetPublishedAt(nSeq);
                (nAt < m_nKilledAt ? nBefore : nAt < m_nRestartedAt ? nDuring : nAfter) += 1;
            }
            const qint64 nBack = BackAfter(pStation->GetConnectionChanges(), m_nRestartedAt);
            bAllBack = bAllBack && nBack >= 0;
            nLastStationBack = std::max(nLastStationBack, nBack);
        }
        const qint64 nSubscriberBack = BackAfter(m_subscriber.GetConnectionChanges(), m_nRestartedAt);
        std::printf("broker killed, back after %lld ms\n", (m_nRestartedAt - m_nKilledAt) / NS_PER_MS);
        // The restarted broker's warnings, such as a client's queue that overflowed.
        for (const QString& line : m_broker.GetLog().split(QLatin1Char('\n')))
            if (line.contains(QLatin1String("Warning")) || line.contains(QLatin1String("dropped")))
                std::printf("broker: %s\n", qPrintable(line));
        std::printf("from the restart: last station reconnected after %s, the subscriber after %s\n",
                    qPrintable(Between(m_nRestartedAt, bAllBack ? nLastStationBack : -1)),
                    qPrintable(Between(m_nRestartedAt, nSubscriberBack)));
        std::printf("not received, published before the kill: %lld, during the outage: %lld, after the restart: %lld\n",
                    nBefore, nDuring, nAfter);
    }

    /// kvtfix's account from its record against the stations', and its own summary; whether nothing is missing.
    bool PrintKvtfix()
    {
        m_pKvtfix->WaitForRecord(TotalPublished(), KVTFIX_SETTLE_MS);
        const QJsonObject live = m_pKvtfix->Interrupt(KVTFIX_SETTLE_MS);
        m_pKvtfix->ReadRecord();
        qint64 nAcknowledged = 0, nUnique = 0, nTwice = 0, nMissing = 0;
        QStringList gaps;
        for (const auto& pStation : m_lstStations)
        {
            nAcknowledged += static_cast<qint64>(pStation->GetAccount().GetDelivered());
            const auto found = m_pKvtfix->GetRecorded().find(pStation->GetName());
            const std::vector<qint64> used =
                found == m_pKvtfix->GetRecorded().end() ? std::vector<qint64>() : found->second;
            const std::set<qint64> recorded(used.begin(), used.end());
            nUnique += static_cast<qint64>(recorded.size());
            nTwice += static_cast<qint64>(used.size() - recorded.size());
            for (qint64 nSeq = 1; nSeq <= pStation->GetPublished(); ++nSeq)
            {
                if (recorded.count(nSeq) > 0)
                    continue;
                qint64 nLast = nSeq;
                while (nLast < pStation->GetPublished() && recorded.count(nLast + 1) == 0)
                    ++nLast;
                nMissing += nLast - nSeq + 1;
                gaps << QStringLiteral("%1 %2-%3").arg(pStation->GetName()).arg(nSeq).arg(nLast);
                nSeq = nLast;
            }
        }
        std::printf("kvtfix: acknowledged %lld, used %lld (distinct %lld), used twice %lld, never used %lld%s%s\n",
                    nAcknowledged, m_pKvtfix->GetRecordedCount(), nUnique, nTwice, nMissing,
                    gaps.isEmpty() ? "" : ": ", qPrintable(gaps.mid(0, 40).join(QStringLiteral(", "))));
        std::printf("kvtfix's own summary (last run): %s\n",
                    qPrintable(QString::fromUtf8(QJsonDocument(live).toJson(QJsonDocument::Compact))));
        if (m_nRestartedAt != 0)
            std::printf("kvtfix after the broker's restart: connected after %s, record caught up after %s\n",
                        qPrintable(Between(m_nRestartedAt, FirstAfter(m_pKvtfix->GetConnections(), m_nRestartedAt))),
                        qPrintable(Between(m_nRestartedAt, m_nCaughtUpAfterBroker)));
        if (m_nKvtfixRestartedAt != 0)
            std::printf("kvtfix killed, started again after %s: connected after %s, record caught up after %s\n",
                        qPrintable(Between(m_nKvtfixKilledAt, m_nKvtfixRestartedAt)),
                        qPrintable(Between(m_nKvtfixRestartedAt,
                                           FirstAfter(m_pKvtfix->GetConnections(), m_nKvtfixRestartedAt))),
                        qPrintable(Between(m_nKvtfixRestartedAt, m_nCaughtUpAfterKvtfix)));
        std::printf("kvtfix's messages:\n%s", qPrintable(m_pKvtfix->GetErrors()));
        return nMissing == 0 && nTwice == 0 && nAcknowledged == nUnique;
    }

    /// From nFrom to nAt in milliseconds; "never" for a time that did not come (0 or less).
    static QString Between(qint64 nFrom, qint64 nAt)
    {
        return nAt <= 0 ? QStringLiteral("never") : QStringLiteral("%1 ms").arg((nAt - nFrom) / NS_PER_MS);
    }

    Options m_options;
    MosquittoBroker m_broker;
    BearingSubscriber m_subscriber;
    /// kvtfix's record and password file.
    QTemporaryDir m_folder;
    std::unique_ptr<KvtfixConsumer> m_pKvtfix;
    QTimer m_recordPoll;
    std::vector<std::unique_ptr<LoadStation>> m_lstStations;
    qint64 m_nKilledAt = 0;
    qint64 m_nRestartedAt = 0;
    qint64 m_nKvtfixKilledAt = 0;
    qint64 m_nKvtfixRestartedAt = 0;
    /// Bearings published before the restart of the broker, of kvtfix.
    qint64 m_nPublishedAtBrokerRestart = 0;
    qint64 m_nPublishedAtKvtfixRestart = 0;
    /// When kvtfix's record first held that many; 0: not yet.
    qint64 m_nCaughtUpAfterBroker = 0;
    qint64 m_nCaughtUpAfterKvtfix = 0;
    /// CPU seconds of the broker processes of this run, less the current one's at the start.
    double m_fBrokerCpu = 0.0;
    /// The same for the kvtfix processes.
    double m_fKvtfixCpu = 0.0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Run run(ParseOptions(app));
    return run.Execute();
}
