#include "tests/common/qstringprinter.h"
#include "tests/interop/interoptesthelpers.h"
#include "tools/kvtbridge/dfbridge.h"
#include "tools/kvtbridge/dfreading.h"

#include <gtest/gtest.h>

namespace {

using kvt::DfBridge;
using kvt::DfReading;
using InteropTest::Reading;

/// The document as a receiver writes it, with `element` replaced by `replacement` (empty: removed).
QByteArray Edited(const QByteArray& element, const QByteArray& replacement)
{
    QByteArray document = Reading(1765094400000, 20.0).Format();
    const int start = document.indexOf("<" + element + ">");
    const int end = document.indexOf("</" + element + ">") + element.size() + 3;
    return document.replace(start, end - start, replacement);
}

TEST(DfReadingTest, WrittenDocumentReadsBackWithItsOptionalFields)
{
    DfReading reading = Reading(1765094400123, 123.25);
    reading.fSpeed = 4.5;
    reading.strGpsTime = QStringLiteral("2026-12-07T08:00:00Z");
    reading.fLatencyMs = 120.0;
    reading.fSnrDb = 18.5;
    DfReading back;
    QString error;
    ASSERT_TRUE(DfReading::Parse(reading.Format(), back, error)) << error.toStdString();
    EXPECT_EQ(back.strStationId, QStringLiteral("RxA"));
    EXPECT_EQ(back.nTimeMs, 1765094400123);
    EXPECT_DOUBLE_EQ(back.fFrequencyMHz, 145.5);
    EXPECT_DOUBLE_EQ(back.fLatitude, 52.61);
    EXPECT_DOUBLE_EQ(back.fHeading, 350.0);
    EXPECT_DOUBLE_EQ(back.fSpeed, 4.5);
    EXPECT_DOUBLE_EQ(back.fDoa, 123.25);
    EXPECT_DOUBLE_EQ(back.fPower, -41.5);
    EXPECT_DOUBLE_EQ(back.fConfidence, 80.0);
    EXPECT_EQ(back.strGpsTime, reading.strGpsTime);
    EXPECT_DOUBLE_EQ(back.fLatencyMs, 120.0);
    EXPECT_DOUBLE_EQ(back.fSnrDb, 18.5);

    // Every digit of a position survives: a bridge that rounds moves the station.
    reading.fLatitude = 52.618888888888888;
    reading.fDoa = 1.0 / 3.0;
    ASSERT_TRUE(DfReading::Parse(reading.Format(), back, error)) << error.toStdString();
    EXPECT_EQ(back.fLatitude, reading.fLatitude);
    EXPECT_EQ(back.fDoa, reading.fDoa);

    ASSERT_TRUE(DfReading::Parse(Reading(1, 0.0).Format(), back, error)) << error.toStdString();
    EXPECT_TRUE(qIsNaN(back.fSpeed));
    EXPECT_TRUE(qIsNaN(back.fSnrDb));
    // Elements a newer receiver adds are skipped, wherever they are.
    ASSERT_TRUE(DfReading::Parse(Edited("PWR", "<PWR>-3</PWR><MAX_DOA><X>1</X></MAX_DOA>"), back, error)) << error.toStdString();
}

TEST(DfReadingTest, BrokenDocumentsAreRefusedNamingTheElement)
{
    const struct
    {
        QByteArray document;
        const char* pszError;
    } cases[] = {
        {"", "not XML"},
        {"<?xml version=\"1.0\"?>", "not XML"},
        {"<DATA><TIME>1</TIME>", "not XML"},
        {"<ROOT/>", "the root element is ROOT"},
        {Edited("CONF", ""), "CONF is missing"},
        {Edited("LATITUDE", ""), "LATITUDE is missing"},
        {Edited("CONF", "<CONF>100</CONF>"), "CONF is out of range"},
        {Edited("CONF", "<CONF>-1</CONF>"), "CONF is out of range"},
        {Edited("LATITUDE", "<LATITUDE>91</LATITUDE>"), "LATITUDE is out of range"},
        {Edited("DOA", "<DOA>nan</DOA>"), "DOA is not a number"},
        {Edited("DOA", "<DOA>inf</DOA>"), "DOA is not a number"},
        {Edited("DOA", "<DOA>12 deg</DOA>"), "DOA is not a number"},
        {Edited("DOA", "<DOA></DOA>"), "DOA is empty"},
        {Edited("DOA", "<DOA><B>1</B></DOA>"), "not XML"},
        {Edited("DOA", "<DOA>1</DOA><DOA>2</DOA>"), "DOA is repeated"},
        {Edited("TIME", "<TIME>0</TIME>"), "TIME is no time"},
        {Edited("TIME", "<TIME>1.5e12</TIME>"), "TIME is no time"},
        {Edited("FREQUENCY", "<FREQUENCY>0</FREQUENCY>"), "FREQUENCY is out of range"},
        {Edited("STATION_ID", "<STATION_ID>" + QByteArray(300, 'x') + "</STATION_ID>"), "STATION_ID is too long"},
        // An entity the document does not declare is no way to smuggle text in.
        {Edited("DOA", "<DOA>&xxe;</DOA>"), "not XML"},
    };
    for (const auto& test : cases) {
        DfReading reading;
        QString error;
        EXPECT_FALSE(DfReading::Parse(test.document, reading, error)) << test.document.constData();
        EXPECT_TRUE(error.startsWith(QLatin1String(test.pszError))) << error.toStdString() << " for " << test.document.constData();
    }
}

TEST(DfBridgeTest, TrueBearingFromHeadingAndDoaInEitherSense)
{
    DfBridge::Settings settings;
    settings.strStation = QStringLiteral("Bridged");
    DfBridge clockwise(settings);
    Bearing bearing;
    ASSERT_TRUE(clockwise.Take(Reading(1000, 20.0).Format(), bearing));
    // Station, time, sigma and frequency: kvtbridge's own test reads them from its messages.
    EXPECT_DOUBLE_EQ(bearing.fBearing, 10.0);
    EXPECT_EQ(bearing.nSeq, 1);
    EXPECT_DOUBLE_EQ(bearing.fHeading, 350.0);
    ASSERT_TRUE(clockwise.Take(Reading(2000, -10.0).Format(), bearing));
    EXPECT_DOUBLE_EQ(bearing.fBearing, 340.0);
    EXPECT_EQ(bearing.nSeq, 2);

    settings.bAntiClockwise = true;
    DfBridge anticlockwise(settings);
    ASSERT_TRUE(anticlockwise.Take(Reading(1000, 20.0).Format(), bearing));
    EXPECT_DOUBLE_EQ(bearing.fBearing, 330.0);
    ASSERT_TRUE(anticlockwise.Take(Reading(2000, 350.0).Format(), bearing));
    EXPECT_DOUBLE_EQ(bearing.fBearing, 0.0);
}

TEST(DfBridgeTest, RepeatedTimesLowConfidenceAndGarbageAreCountedNotPassed)
{
    DfBridge::Settings settings;
    settings.strStation = QStringLiteral("Bridged");
    settings.fMinConfidence = 50.0;
    DfBridge bridge(settings);
    Bearing bearing;
    EXPECT_FALSE(bridge.Take(Reading(1000, 20.0, 49.0).Format(), bearing));
    // The same refused bearing polled again is a repeat, not a second refusal.
    EXPECT_FALSE(bridge.Take(Reading(1000, 20.0, 49.0).Format(), bearing));
    EXPECT_TRUE(bridge.Take(Reading(2000, 20.0, 50.0).Format(), bearing));
    EXPECT_FALSE(bridge.Take(Reading(2000, 20.0).Format(), bearing));
    // A receiver whose clock went back: older than what was passed on.
    EXPECT_FALSE(bridge.Take(Reading(1500, 20.0).Format(), bearing));
    EXPECT_FALSE(bridge.Take("<html>502 Bad Gateway</html>", bearing));
    EXPECT_TRUE(bridge.Take(Reading(3000, 20.0).Format(), bearing));
    EXPECT_EQ(bearing.nSeq, 2);

    const DfBridge::Counters& counters = bridge.GetCounters();
    EXPECT_EQ(counters.nDocuments, 7u);
    EXPECT_EQ(counters.nPassed, 2u);
    EXPECT_EQ(counters.nLowConfidence, 1u);
    EXPECT_EQ(counters.nRepeated, 3u);
    EXPECT_EQ(counters.nGarbage, 1u);
    EXPECT_EQ(counters.strLastGarbage, QStringLiteral("the root element is html, not DATA"));
}

}
