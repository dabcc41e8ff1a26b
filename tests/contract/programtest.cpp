#include "contract/bearingmessage.h"
#include "contract/dfsentencereader.h"
#include "tests/common/filecontent.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/programrun.h"
#include "tests/common/timezoneguard.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const int WAIT_MS = 60000;
const char* const ZONE = "Europe/Berlin";

/// Three stations around one emitter, none with its bow to the north, one
/// with a name that must be escaped in a topic. All senders: each listens on
/// the emitter's frequency from the start, without a broker.
const QByteArray SCENARIO = R"({
  "start": "2026-12-07T08:00:00.000Z",
  "emitters": [ { "name": "E1", "latitude": 52.52, "longitude": 13.405, "frequency": 145500000,
                  "bandwidth": 12500, "power": 40.0, "on": 0, "off": 86400 } ],
  "stations": [
    { "name": "Ops/North", "latitude": 52.70, "longitude": 13.40, "heading": 90.0, "sigma": 1.0,
      "frequencyMin": 20000000, "frequencyMax": 3000000000, "role": "sender" },
    { "name": "East", "latitude": 52.52, "longitude": 13.70, "heading": 200.0, "sigma": 1.0,
      "frequencyMin": 20000000, "frequencyMax": 3000000000, "role": "sender" },
    { "name": "South", "latitude": 52.35, "longitude": 13.40, "heading": 300.0, "sigma": 1.0,
      "frequencyMin": 20000000, "frequencyMax": 3000000000, "role": "sender" }
  ],
  "handovers": [ { "at": 0, "station": "Ops/North", "frequency": 145500000 },
                 { "at": 0, "station": "East", "frequency": 145500000 },
                 { "at": 0, "station": "South", "frequency": 145500000 } ]
})";

const QStringList STATIONS{QStringLiteral("Ops/North"), QStringLiteral("East"), QStringLiteral("South")};

double AngleBetween(double a, double b)
{
    return std::abs(std::remainder(a - b, 360.0));
}

/// The programs as a user runs them, in the zone of the stations' host.
class ContractProgramTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(WriteFile(m_files.filePath("scenario.json"), SCENARIO)); }

    static QByteArray Run(const QString& program, const QStringList& arguments)
    {
        const ProgramRun run = RunProgram(program, arguments, QString(), WAIT_MS);
        EXPECT_EQ(run.nExitCode, 0) << program.toStdString() << ": " << run.stdErr.constData();
        return run.stdOut;
    }

    /// The folder of a station (named without the slash).
    QString Folder(const QString& station) const { return m_files.filePath(QString(station).remove('/')); }

    /// Each station its own configuration folder, as separate hosts have.
    QStringList StationArguments(const QString& station, const QString& seconds = QStringLiteral("40")) const
    {
        const QString config = m_files.filePath(QStringLiteral("config-") + QString(station).remove('/'));
        EXPECT_TRUE(QDir().mkpath(config));
        return {"--config-dir", config, "--output-dir", Folder(station), "--scenario", m_files.filePath("scenario.json"),
                "--station", station, "--seconds", seconds, "--seed", "5"};
    }

    QJsonObject Fixes(const QStringList& inputs, const QStringList& options = {})
    {
        QStringList arguments = options + QStringList{"--json"};
        for (const QString& input : inputs)
            arguments << "--input" << input;
        return QJsonDocument::fromJson(Run(QStringLiteral(KVTFIX_PATH), arguments)).object();
    }

    // Children inherit the zone.
    const TimeZoneGuard m_zone{ZONE};
    QTemporaryDir m_files;
};

/// The bearings of a file's lines that hold more than white space, each read by `read`.
template <class Read>
std::vector<kvt::BearingRecord> Bearings(const QString& path, Read read)
{
    std::vector<kvt::BearingRecord> bearings;
    for (const QByteArray& line : ReadFile(path).split('\n')) {
        kvt::BearingRecord bearing;
        QString error;
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(read(line, bearing, error)) << error.toStdString() << ": " << line.constData();
            bearings.push_back(bearing);
        }
    }
    return bearings;
}

std::vector<kvt::BearingRecord> Messages(const QString& path)
{
    return Bearings(path, kvt::BearingMessage::Parse);
}

std::vector<kvt::BearingRecord> Sentences(const QString& path, const QString& station)
{
    kvt::DfSentenceReader reader({station, QDate(2026, 12, 7), 1.0, true, QTimeZone(ZONE)});
    return Bearings(path, [&reader](const QByteArray& line, kvt::BearingRecord& bearing, QString& error) {
        return reader.Read(line, bearing, error);
    });
}

}

// A station's sentence file and bearing file are two encodings of the same
// bearings: read as their writer meant them they agree, and kvtfix makes the
// same fixes from either, on the emitter, with no bearing taken for a repeat.
TEST_F(ContractProgramTest, SentenceAndMessageFilesOfAStationGiveTheSameBearingsAndFixes)
{
    for (const QString& station : STATIONS) {
        Run(QStringLiteral(KVTSTATION_PATH), StationArguments(station));
        const std::vector<kvt::BearingRecord> messages = Messages(QDir(Folder(station)).filePath("bearings.jsonl"));
        const std::vector<kvt::BearingRecord> sentences =
            Sentences(QDir(Folder(station)).filePath("dfdata.txt"), station);
        ASSERT_GT(messages.size(), 100u) << station.toStdString();
        ASSERT_EQ(sentences.size(), messages.size()) << station.toStdString();
        for (size_t i = 0; i < messages.size(); ++i) {
            const kvt::BearingRecord& message = messages[i];
            EXPECT_EQ(message.strStation, station);
            EXPECT_GT(message.fBandwidth, 0.0) << "the device knows its bandwidth";
            EXPECT_LE(AngleBetween(sentences[i].fBearing, message.fBearing), 0.1 + 1e-9)
                << station.toStdString() << " line " << i + 1;
            EXPECT_EQ(sentences[i].nTimeMs, message.nTimeMs / 1000 * 1000) << station.toStdString() << " line " << i + 1;
        }
    }

    // The files as the stations would have left them on the scenario's day;
    // kvtfix finds the sentences' date from that.
    QStringList sentenceFiles, messageFolders;
    for (const QString& station : STATIONS) {
        QFile sentences(QDir(Folder(station)).filePath("dfdata.txt"));
        ASSERT_TRUE(sentences.open(QIODevice::ReadWrite));
        ASSERT_TRUE(sentences.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(8, 0, 45), Qt::UTC),
                                          QFileDevice::FileModificationTime));
        sentenceFiles << sentences.fileName();
        messageFolders << Folder(station);
    }
    const QJsonObject fromSentences = Fixes(sentenceFiles);
    const QJsonObject fromMessages = Fixes(messageFolders);
    for (const QJsonObject& summary : {fromSentences, fromMessages}) {
        const QJsonObject bearings = summary["bearings"].toObject();
        EXPECT_EQ(bearings["refused"].toInt(-1), 0) << QJsonDocument(bearings).toJson().constData();
        EXPECT_EQ(bearings["duplicates"].toInt(-1), 0);
        const QJsonArray fixes = summary["fixes"].toArray();
        ASSERT_GE(fixes.size(), 3) << QJsonDocument(summary).toJson().constData();
        for (const QJsonValue fix : fixes) {
            EXPECT_EQ(fix["stations"].toInt(), 3);
            EXPECT_NEAR(fix["latitude"].toDouble(), 52.52, 0.02);
            EXPECT_NEAR(fix["longitude"].toDouble(), 13.405, 0.03);
        }
    }
    EXPECT_EQ(fromSentences["fixes"].toArray().first()["time"], fromMessages["fixes"].toArray().first()["time"])
        << "sentence times are read in the writers' zone, on the day the files were written";
    // A date given for the first sentence wins over the files' own.
    const auto firstFix = [](const QJsonObject& summary) {
        return QDateTime::fromString(summary["fixes"].toArray().first()["time"].toString(), Qt::ISODateWithMs);
    };
    const QJsonObject dayBefore = Fixes(sentenceFiles, {"--sentence-date", "2026-12-06"});
    EXPECT_EQ(firstFix(dayBefore).daysTo(firstFix(fromSentences)), 1);
}

// Over a real broker the station "Ops/North" publishes on its escaped topic,
// and kvtfix takes its bearings as that station's.
TEST_F(ContractProgramTest, AnEscapedStationNameReachesTheFixesOverTheBroker)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    const QString address = QStringLiteral("127.0.0.1:%1").arg(broker.GetPort());
    QProcess fix;
    fix.start(QStringLiteral(KVTFIX_PATH), {"--mqtt", address, "--json"});
    QByteArray errors, output;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            errors += fix.readAllStandardError();
            return errors.contains("connected");
        },
        WAIT_MS))
        << errors.constData();
    // Together in real time, so that their bearings arrive in time order; a
    // station that starts late still shares the second window with the others.
    QProcess stations[3];
    for (int i = 0; i < 3; ++i)
        stations[i].start(QStringLiteral(KVTSTATION_PATH),
                          StationArguments(STATIONS[i], QStringLiteral("25")) << "--realtime" << "--mqtt" << address);
    const bool fixed = QTest::qWaitFor(
        [&] {
            output += fix.readAllStandardOutput();
            return output.contains("\"stations\":3");
        },
        WAIT_MS);
    for (QProcess& station : stations)
        EXPECT_TRUE(station.waitForFinished(WAIT_MS));
    fix.kill();
    fix.waitForFinished(WAIT_MS);
    EXPECT_TRUE(fixed) << output.constData() << errors.constData() << fix.readAllStandardError().constData();
}
