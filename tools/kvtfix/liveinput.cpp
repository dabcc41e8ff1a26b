#include "tools/kvtfix/liveinput.h"

#include "contract/stationtopics.h"
#include "fusion/bearingjson.h"

#include <QJsonArray>

namespace {

const int QOS = 1;

/// A count or sequence number of the summary; numbers from a hostile station reach 9e15, beyond an int.
qint64 Count(const QJsonValue& value)
{
    return static_cast<qint64>(value.toDouble());
}

}

LiveInput::LiveInput(FixRun& run, const Scenario* pScenario, int maxStations, QObject* pParent)
    : QObject(pParent)
    , m_rRun(run)
    , m_pScenario(pScenario)
    , m_sequences(maxStations)
{
    connect(&m_connection, &MqttConnection::MessageReceived, this,
            [this](const QString& topic, const QByteArray& payload) { Receive(topic, payload); });
    connect(&m_connection, &MqttConnection::MessageRefused, this, &LiveInput::RefuseOversized);
}

bool LiveInput::OpenRecord(const QString& path, QString& rError)
{
    auto pRecord = std::make_unique<LiveRecord>();
    if (!pRecord->Open(path, m_sequences, rError))
        return false;
    m_pRecord = std::move(pRecord);
    return true;
}

bool LiveInput::Start(MqttConnection::Settings settings, QString& rError)
{
    settings.nMaxIncomingBytes = MAX_MESSAGE_BYTES;
    if (!m_connection.Open(settings) || !m_connection.Subscribe(StationTopics::ALL_BEARINGS, QOS)) {
        rError = m_connection.GetErrorText();
        return false;
    }
    return true;
}

void LiveInput::Receive(const QString& topic, const QByteArray& payload)
{
    ++m_nRead;
    InputLog& log = m_rRun.GetLog();
    log.Read();
    Bearing bearing;
    QString error;
    QString station;
    if (!BearingJson::Parse(payload, bearing, error))
        log.Refuse(topic, error);
    else if (!StationTopics::StationOfBearings(topic, station) || station != bearing.strStation)
        log.Refuse(topic, QStringLiteral("station differs from the topic"));
    else if (m_pScenario != nullptr && m_pScenario->FindStation(bearing.strStation) == nullptr)
        log.Refuse(topic, QStringLiteral("unknown station"));
    else {
        if (m_sequences.Add(bearing.strStation, bearing.nSeq) == SequenceTracker::Verdict::DUPLICATE)
            return;
        ++m_nUsed;
        if (m_pRecord != nullptr && !m_pRecord->Append(bearing))
            ++m_nRecordFailures;
        m_rRun.Take(bearing);
        return;
    }
    ++m_nRefused;
}

void LiveInput::RefuseOversized(const QString& topic, int nBytes)
{
    ++m_nRead;
    ++m_nRefused;
    m_rRun.GetLog().Read();
    m_rRun.GetLog().Refuse(QStringLiteral("%1 (%2 bytes)").arg(topic).arg(nBytes),
                           QStringLiteral("larger than %1 bytes").arg(MAX_MESSAGE_BYTES));
}

QJsonObject LiveInput::Summary() const
{
    QJsonArray gaps;
    for (const auto& station : m_sequences.GetGaps())
        for (const SequenceTracker::Gap& gap : station.second)
            gaps.append(QJsonObject{{"station", station.first}, {"first", gap.nFirst}, {"last", gap.nLast}});
    const MqttConnection::Settings& settings = m_connection.GetSettings();
    QJsonObject summary{{"broker", QStringLiteral("%1:%2").arg(settings.strHost).arg(settings.nPort)},
                        {"clientId", settings.strClientId},
                        {"connected", m_connection.IsConnected()},
                        {"lastError", m_connection.GetErrorText()},
                        {"read", m_nRead},
                        {"refused", m_nRefused},
                        {"used", m_nUsed},
                        {"duplicates", m_sequences.GetDuplicates()},
                        {"late", m_sequences.GetLate()},
                        {"missing", m_sequences.GetMissing()},
                        {"forgotten", m_sequences.GetForgotten()},
                        {"gaps", gaps}};
    if (m_pRecord != nullptr)
        summary.insert(QStringLiteral("record"), QJsonObject{{"file", m_pRecord->GetFileName()},
                                                              {"replayed", m_pRecord->GetReplayed()},
                                                              {"unreadable", m_pRecord->GetUnreadable()},
                                                              {"written", m_pRecord->GetWritten()},
                                                              {"lastError", m_pRecord->GetError()}});
    return summary;
}

void LiveInput::PrintText(QTextStream& out, const QJsonObject& live)
{
    out << "Live: " << Count(live["read"]) << " messages read from " << live["broker"].toString() << " (session "
        << live["clientId"].toString() << "), " << Count(live["used"]) << " used, " << Count(live["refused"])
        << " refused, " << Count(live["duplicates"]) << " repeats dropped, " << Count(live["late"]) << " late, "
        << Count(live["missing"]) << " missing\n";
    if (Count(live["forgotten"]) > 0)
        out << "  " << Count(live["forgotten"]) << " stations forgotten for newer ones (more than --max-stations)\n";
    for (const QJsonValue gap : live["gaps"].toArray())
        out << "  gap: " << gap["station"].toString() << " seq " << Count(gap["first"]) << " to "
            << Count(gap["last"]) << "\n";
    if (!live["lastError"].toString().isEmpty())
        out << "  broker: " << live["lastError"].toString() << "\n";
    const QJsonObject record = live["record"].toObject();
    if (!record.isEmpty()) {
        out << "  record " << record["file"].toString() << ": " << Count(record["replayed"])
            << " bearings of earlier runs (" << Count(record["unreadable"]) << " unreadable lines), "
            << Count(record["written"]) << " written\n";
        if (!record["lastError"].toString().isEmpty())
            out << "  record: " << record["lastError"].toString() << "\n";
    }
}

QString LiveInput::TakeStatusLine()
{
    const qint64 nTrouble = m_nRefused + m_sequences.GetDuplicates() + m_sequences.GetMissing() + m_nRecordFailures;
    if (nTrouble == m_nReported)
        return QString();
    m_nReported = nTrouble;
    QStringList gaps;
    const auto open = m_sequences.GetGaps();
    for (const auto& station : open) {
        if (gaps.size() == MAX_STATUS_STATIONS) {
            gaps << QStringLiteral("%1 more stations").arg(open.size() - MAX_STATUS_STATIONS);
            break;
        }
        gaps << QStringLiteral("%1 %2").arg(station.first).arg(station.second.size());
    }
    return QStringLiteral("%1 read, %2 used, %3 refused, %4 repeats, %5 late, %6 missing%7%8")
        .arg(m_nRead)
        .arg(m_nUsed)
        .arg(m_nRefused)
        .arg(m_sequences.GetDuplicates())
        .arg(m_sequences.GetLate())
        .arg(m_sequences.GetMissing())
        .arg(gaps.isEmpty() ? QString() : QStringLiteral(" (open gaps: %1)").arg(gaps.join(QStringLiteral(", "))))
        .arg(m_nRecordFailures == 0 ? QString()
                                    : QStringLiteral("; %1 not recorded, %2").arg(m_nRecordFailures).arg(m_pRecord->GetError()));
}
