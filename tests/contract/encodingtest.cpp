#include "contract/bearingmessage.h"
#include "contract/dfsentence.h"
#include "contract/dfsentencereader.h"
#include "contract/stationtopics.h"
#include "contract/topiclevel.h"
#include "tests/common/samplebearing.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

const QTimeZone BERLIN("Europe/Berlin");
const QDate DAY(2026, 12, 7);

/// A file line as the DF data output writes it: 113.2° from the bow at a heading of 30°.
const QByteArray SENTENCE = "$PLG,113.2,FRQ, 145500000,CMP, 30.0,QUA, 87.0,LEV,-62.5,TIM,090001,ELV,0.0,"
                            "PTC,0.5,RLL,1.0,ALT,0.0,PTM,090001,LAT, 52.60000,LON,13.2000000\r\n";

QByteArray Replaced(const QByteArray& text, const char* from, const char* to)
{
    return QByteArray(text).replace(from, to);
}

kvt::DfSentenceReader Reader(bool relative = true)
{
    return kvt::DfSentenceReader({QStringLiteral("North"), DAY, 1.5, relative, BERLIN});
}

qint64 Utc(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
}

}

// The sentence's azimuth is from the bow and its time of day in the writer's zone.
TEST(DfSentenceReaderTest, ReadsTheAzimuthFromTheBowAndTheTimeInTheWritersZone)
{
    kvt::DfSentenceReader reader = Reader();
    kvt::BearingRecord bearing;
    QString error;
    ASSERT_TRUE(reader.Read(SENTENCE, bearing, error)) << error.toStdString();
    EXPECT_EQ(bearing.strStation, QStringLiteral("North"));
    EXPECT_DOUBLE_EQ(bearing.fBearing, 143.2);
    EXPECT_DOUBLE_EQ(bearing.fRelativeBearing, 113.2);
    EXPECT_DOUBLE_EQ(bearing.fHeading, 30.0);
    EXPECT_EQ(bearing.nTimeMs, Utc(DAY, QTime(8, 0, 1))) << "09:00:01 in Berlin in winter is 08:00:01 UTC";

    // A heading of exactly 0 is a heading, not a missing one.
    ASSERT_TRUE(reader.Read(Replaced(Replaced(SENTENCE, "CMP, 30.0", "CMP,  0.0"), "113.2", "350.7"), bearing, error))
        << error.toStdString();
    EXPECT_DOUBLE_EQ(bearing.fBearing, 350.7);
    ASSERT_TRUE(reader.Read(Replaced(Replaced(SENTENCE, "CMP, 30.0", "CMP,359.9"), "113.2", "  0.2"), bearing, error));
    EXPECT_NEAR(bearing.fBearing, 0.1, 1e-9) << "the sum wraps through north";

    kvt::DfSentenceReader oldFile = Reader(false);
    ASSERT_TRUE(oldFile.Read(SENTENCE, bearing, error));
    EXPECT_DOUBLE_EQ(bearing.fBearing, 113.2) << "an old file's azimuth is the true bearing";
    EXPECT_DOUBLE_EQ(bearing.fRelativeBearing, 83.2);
}

// Times run on over midnight in the zone; summer time shifts them by an hour,
// and the hour into summer time that the zone skips is refused.
TEST(DfSentenceReaderTest, TimesFollowTheZoneOverMidnightAndIntoSummerTime)
{
    kvt::DfSentenceReader reader = Reader();
    kvt::BearingRecord bearing;
    QString error;
    ASSERT_TRUE(reader.Read(Replaced(SENTENCE, "TIM,090001", "TIM,235959"), bearing, error));
    ASSERT_TRUE(reader.Read(Replaced(SENTENCE, "TIM,090001", "TIM,000002"), bearing, error));
    EXPECT_EQ(bearing.nTimeMs, Utc(DAY, QTime(23, 0, 2))) << "00:00:02 of the next day in Berlin";

    kvt::DfSentenceReader summer({QStringLiteral("North"), QDate(2026, 3, 29), 1.5, true, BERLIN});
    ASSERT_TRUE(summer.Read(Replaced(SENTENCE, "TIM,090001", "TIM,013000"), bearing, error));
    EXPECT_EQ(bearing.nTimeMs, Utc(QDate(2026, 3, 29), QTime(0, 30)));
    EXPECT_FALSE(summer.Read(Replaced(SENTENCE, "TIM,090001", "TIM,023000"), bearing, error));
    EXPECT_TRUE(error.contains(QLatin1String("not in the zone"))) << error.toStdString();
    ASSERT_TRUE(summer.Read(Replaced(SENTENCE, "TIM,090001", "TIM,033000"), bearing, error));
    EXPECT_EQ(bearing.nTimeMs, Utc(QDate(2026, 3, 29), QTime(1, 30)));
}

// Lines of one second with one azimuth are told apart by their number in the file.
TEST(DfSentenceReaderTest, NumbersTheLinesOfItsFile)
{
    kvt::DfSentenceReader reader = Reader();
    kvt::BearingRecord first, second;
    QString error;
    ASSERT_TRUE(reader.Read(SENTENCE, first, error));
    EXPECT_FALSE(reader.Read("garbage", second, error));
    ASSERT_TRUE(reader.Read(SENTENCE, second, error));
    EXPECT_EQ(first.nSeq, 1);
    EXPECT_EQ(second.nSeq, 3) << "refused lines count as lines";
    EXPECT_EQ(first.nTimeMs, second.nTimeMs);
}

/// A sentence file with the given times of day, one line each.
QByteArray FileOf(const QStringList& times)
{
    QByteArray text;
    for (const QString& time : times)
        text += Replaced(SENTENCE, "TIM,090001", "TIM," + time.toLatin1());
    return text;
}

QDateTime InBerlin(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, BERLIN);
}

// A sentence has no date: the file's stamps in order, each jump back a new
// day, end at or before the file's last change, within a day of it.
TEST(DfSentenceReaderTest, TheFirstDateComesFromTheStampsAndTheFilesLastChange)
{
    const QDate next = DAY.addDays(1);
    // Across midnight in Berlin, written at 23:00:05 UTC: a date taken from the
    // file's time in UTC would put the stamps before midnight a day early.
    const QByteArray midnight = FileOf({"235958", "235959", "000001", "000002"});
    EXPECT_EQ(kvt::DfSentenceReader::FirstDate(midnight, BERLIN, InBerlin(next, QTime(0, 0, 5)).toUTC()), DAY);
    EXPECT_EQ(kvt::DfSentenceReader::FirstDate(midnight, BERLIN, InBerlin(next, QTime(0, 0, 2))), DAY)
        << "the last sentence may be written in the second the file last changes";
    // Written the morning after: the stamps are of the day before.
    const QByteArray morning = FileOf({"090000", "090010"});
    EXPECT_EQ(kvt::DfSentenceReader::FirstDate(morning, BERLIN, InBerlin(next, QTime(3, 0))), DAY);
    EXPECT_EQ(kvt::DfSentenceReader::FirstDate(morning, BERLIN, InBerlin(DAY, QTime(9, 0, 30))), DAY);
    EXPECT_EQ(kvt::DfSentenceReader::FirstDate("no sentence\n", BERLIN, InBerlin(next, QTime(3, 0))), next);

    // Three days, read on from the date found: the last line lies on the third.
    const QByteArray days = FileOf({"090000", "210000", "080000", "200000", "070000"});
    const QDateTime written = InBerlin(DAY.addDays(2), QTime(7, 30));
    ASSERT_EQ(kvt::DfSentenceReader::FirstDate(days, BERLIN, written), DAY);
    kvt::DfSentenceReader reader = Reader();
    kvt::BearingRecord bearing;
    QString error;
    for (const QByteArray& line : days.split('\n')) {
        if (!line.isEmpty()) {
            ASSERT_TRUE(reader.Read(line, bearing, error)) << error.toStdString();
        }
    }
    EXPECT_EQ(bearing.nTimeMs, InBerlin(DAY.addDays(2), QTime(7, 0)).toMSecsSinceEpoch());
}

TEST(DfSentenceReaderTest, SentencesWithoutBearingPositionOrHeadingAreRefused)
{
    const struct
    {
        QByteArray line;
        const char* pszReason;
    } cases[] = {
        {Replaced(SENTENCE, "$PLG,113.2", "$PLG, -1.0"), "no valid bearing"},
        {Replaced(SENTENCE, "$PLG,113.2", "$PLG,360.0"), "no valid bearing"},
        {Replaced(SENTENCE, "QUA, 87.0", "QUA,  0.0"), "no valid bearing"},
        {Replaced(Replaced(SENTENCE, " 52.60000", "  0.00000"), "13.2000000", "0.0000000"), "no position"},
        {Replaced(SENTENCE, "CMP, 30.0", "CMP, -0.1"), "no heading"},
        {Replaced(SENTENCE, "TIM,090001", "TIM,"), "no time"},
        {SENTENCE.left(40), "not a whole DF sentence"},
        {"$GPGGA,1,2,3", "not a DF sentence"},
        {Replaced(SENTENCE, "LAT, 52.60000", "LAT, 152.6000"), "position out of range"},
    };
    for (const auto& c : cases) {
        kvt::DfSentenceReader reader = Reader();
        kvt::BearingRecord bearing;
        QString error;
        EXPECT_FALSE(reader.Read(c.line, bearing, error)) << c.line.constData();
        EXPECT_TRUE(error.contains(QLatin1String(c.pszReason))) << error.toStdString() << " / " << c.pszReason;
    }
}

// The writer writes what the DF data output writes, and its reader gets the record back.
TEST(DfSentenceTest, WritesTheDataOutputsTextAndReadsBack)
{
    kvt::BearingRecord bearing = SampleBearing();
    bearing.fRelativeBearing = 113.2;
    bearing.fHeading = 30.0;
    bearing.fLatitude = 52.6;
    bearing.fLongitude = 13.2;
    EXPECT_EQ(kvt::DfSentence::Format(bearing, BERLIN),
              QByteArray("$PLG,113.2,FRQ, 145500000,CMP, 30.0,QUA, 87.0,LEV,-62.5,TIM,090001,ELV,0.0,"
                         "PTC,0.0,RLL,0.0,ALT,0.0,PTM,,LAT, 52.60000,LON,13.2000000\r\n"));
    kvt::DfSentenceReader reader = Reader();
    kvt::BearingRecord back;
    QString error;
    ASSERT_TRUE(reader.Read(kvt::DfSentence::Format(bearing, BERLIN), back, error)) << error.toStdString();
    EXPECT_DOUBLE_EQ(back.fBearing, 143.2);
    EXPECT_EQ(back.nTimeMs, Utc(DAY, QTime(8, 0, 1)));
}

TEST(BearingMessageTest, WritesNumbersAsTheyMeanWithItsVersion)
{
    const QByteArray message = kvt::BearingMessage::Format(SampleBearing());
    EXPECT_TRUE(message.contains(R"("bearing":80.7,)")) << message.constData();
    EXPECT_TRUE(message.contains(R"("bandwidth":25000,)")) << message.constData();
    EXPECT_TRUE(message.contains(R"("v":1)")) << message.constData();
    kvt::BearingRecord back;
    QString error;
    ASSERT_TRUE(kvt::BearingMessage::Parse(message, back, error)) << error.toStdString();
    EXPECT_DOUBLE_EQ(back.fRelativeBearing, 350.7);
    EXPECT_EQ(back.strStation, QStringLiteral("Ops/North"));

    kvt::BearingRecord north = SampleBearing();
    north.fBearing = 359.96;
    north.fLatitude = 54.32330004;
    const QByteArray rounded = kvt::BearingMessage::Format(north);
    EXPECT_TRUE(rounded.contains(R"("bearing":0,)")) << "359.96° rounds to north: " << rounded.constData();
    EXPECT_TRUE(rounded.contains(R"("latitude":54.3233,)")) << rounded.constData();
}

TEST(BearingMessageTest, RefusesANewerMajorVersionAndReadsUnversionedOnes)
{
    const QByteArray message = kvt::BearingMessage::Format(SampleBearing());
    kvt::BearingRecord bearing;
    QString error;
    EXPECT_FALSE(kvt::BearingMessage::Parse(Replaced(message, R"("v":1)", R"("v":2)"), bearing, error));
    EXPECT_EQ(error, QStringLiteral("bearing message version 2 is newer than this reader's 1"));
    EXPECT_FALSE(kvt::BearingMessage::Parse(Replaced(message, R"("v":1)", R"("v":1.5)"), bearing, error));
    EXPECT_FALSE(kvt::BearingMessage::Parse(Replaced(message, R"("v":1)", R"("v":"1")"), bearing, error));
    EXPECT_TRUE(error.contains(QLatin1String("\"v\""))) << error.toStdString();
    EXPECT_TRUE(kvt::BearingMessage::Parse(Replaced(message, R"(,"v":1)", ""), bearing, error))
        << "written before versions: " << error.toStdString();
}

// Every name has exactly one topic level: a level the writer cannot have made is refused.
TEST(StationTopicsTest, EscapedNamesComeBackAndLevelsTheWriterCannotMakeAreRefused)
{
    const QString topic = StationTopics::Bearings(QStringLiteral("Ops/North"));
    EXPECT_EQ(topic, QStringLiteral("kvt/stations/Ops%2FNorth/bearings"));
    QString station;
    ASSERT_TRUE(StationTopics::StationOfBearings(topic, station));
    EXPECT_EQ(station, QStringLiteral("Ops/North"));
    const QString tricky = QStringLiteral("100% +#\x01");
    ASSERT_TRUE(StationTopics::StationOfBearings(StationTopics::Bearings(tricky), station));
    EXPECT_EQ(station, tricky);

    for (const char* level : {"Ops%2", "Ops%", "%41", "Ops%2fNorth", "Ops%G0", "a+b", "a#"}) {
        QString name;
        EXPECT_FALSE(TopicLevel::Unescape(QLatin1String(level), name)) << level;
        EXPECT_FALSE(StationTopics::StationOfBearings(QStringLiteral("kvt/stations/%1/bearings").arg(level), name))
            << level;
    }
    for (const char* other : {"kvt/stations/Ops/North/bearings", "kvt/stations//bearings", "kvt/stations/A/status",
                              "kvt/zod/A/bearings"})
        EXPECT_FALSE(StationTopics::StationOfBearings(QLatin1String(other), station)) << other;
}
