#pragma once

#include "fusion/scenario.h"
#include "network/mqttconnection.h"
#include "tools/kvtfix/fixrun.h"
#include "tools/kvtfix/liverecord.h"
#include "tools/kvtfix/sequencetracker.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTextStream>

#include <memory>

/// kvtfix's live bearings: one MQTT session subscribed to every station's
/// bearing messages, judging each before the run may use it.
///
/// The session is the one of the settings given to Start() (kvt::BrokerLoginOptions:
/// persistent, fixed client id), subscribed at QoS 1, so bearings the broker
/// acknowledged to a station wait at the broker while kvtfix or the broker is
/// away (given a broker with persistence and room in its queue). Every message
/// is read once into the run's input log; it is refused, with the reason, when
/// it is larger than MAX_MESSAGE_BYTES (dropped on arrival), does not parse,
/// names another station than its topic (unescaped), or a station the scenario (if any)
/// does not have. A bearing whose sequence number the station already sent is
/// a repeat and not used; numbers skipped are reported as gaps per station
/// (SequenceTracker), and a skipped number that comes after all is late and used.
/// With a record (LiveRecord) every used bearing is kept, and the account goes
/// on from the record's bearings across restarts of kvtfix. The account keeps
/// at most maxStations stations, as the fusion does.
/// Single-threaded.
class LiveInput : public QObject
{
    Q_OBJECT

public:
    /// A bearing message is a few hundred bytes.
    static constexpr int MAX_MESSAGE_BYTES = 16384;
    /// Stations with open gaps that the status line names; the rest are counted.
    static constexpr int MAX_STATUS_STATIONS = 10;

    /// The run and the scenario (may be null) are borrowed for the input's life.
    LiveInput(FixRun& run, const Scenario* pScenario, int maxStations, QObject* pParent = nullptr);

    /// Records the used bearings in `path` from now on, after replaying what
    /// it holds; false with rError when it cannot be read or written.
    bool OpenRecord(const QString& path, QString& rError);
    /// Starts the session; false with rError when the settings cannot be used.
    bool Start(MqttConnection::Settings settings, QString& rError);
    MqttConnection& GetConnection() { return m_connection; }

    /// Judges one message as described above.
    void Receive(const QString& topic, const QByteArray& payload);
    /// Counts a message that was dropped on arrival for its size.
    void RefuseOversized(const QString& topic, int nBytes);

    /// "broker", "clientId", "connected", "lastError", "read", "refused",
    /// "used", "duplicates", "late", "missing", "gaps" ([{station, first, last}]),
    /// "forgotten" (stations dropped from the account for newer ones),
    /// with a record "record" ({file, replayed, unreadable, written, lastError}).
    QJsonObject Summary() const;
    static void PrintText(QTextStream& out, const QJsonObject& live);
    /// One line on what was refused or missed since the last call, with the
    /// totals; empty when nothing new was refused, repeated or missed.
    QString TakeStatusLine();

private:
    FixRun& m_rRun;
    const Scenario* m_pScenario;
    MqttConnection m_connection;
    SequenceTracker m_sequences;
    std::unique_ptr<LiveRecord> m_pRecord;
    /// Writes to the record that failed.
    qint64 m_nRecordFailures = 0;
    qint64 m_nRead = 0;
    qint64 m_nRefused = 0;
    qint64 m_nUsed = 0;
    /// Refused + duplicates + missing + record failures at the last status line.
    qint64 m_nReported = 0;
};
