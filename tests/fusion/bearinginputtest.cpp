#include "fusion/bearingjson.h"
#include "fusion/scenario.h"
#include "tests/common/filecontent.h"
#include "tools/kvtfix/bearingfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray MESSAGE =
    R"({"station":"S1","seq":42,"time":"2026-12-07T08:00:01.250Z","latitude":52.6,"longitude":13.2,)"
    R"("heading":30.0,"bearing":143.2,"sigma":1.5,"quality":87,"frequency":145500000,"bandwidth":12500,)"
    R"("level":-62.5,"method":"WatsonWatt"})";

/// A file line as the DF data output writes it.
const QByteArray SENTENCE = "$PLG,113.2,FRQ, 145500000,CMP, 30.0,QUA, 87.0,LEV,-62.5,TIM,080001,ELV,0.0,"
                            "PTC,0.5,RLL,1.0,ALT,0.0,PTM,080001,LAT, 52.60000,LON,13.2000000\r\n";

QByteArray Replaced(const QByteArray& text, const char* from, const char* to)
{
    return QByteArray(text).replace(from, to);
}

TEST(BearingJsonTest, ReadsTheSharedMessageAndWritesItBack)
{
    Bearing bearing;
    QString error;
    ASSERT_TRUE(BearingJson::Parse(MESSAGE, bearing, error)) << error.toStdString();
    EXPECT_EQ(bearing.strStation, QStringLiteral("S1"));
    EXPECT_EQ(bearing.nSeq, 42);
    EXPECT_EQ(bearing.nTimeMs, QDateTime(QDate(2026, 12, 7), QTime(8, 0, 1, 250), Qt::UTC).toMSecsSinceEpoch());
    EXPECT_DOUBLE_EQ(bearing.fBearing, 143.2);
    EXPECT_DOUBLE_EQ(bearing.fBandwidth, 12500.0);

    Bearing back;
    ASSERT_TRUE(BearingJson::Parse(BearingJson::Format(bearing), back, error));
    EXPECT_EQ(back.nTimeMs, bearing.nTimeMs);
    EXPECT_EQ(back.nSeq, bearing.nSeq);
    EXPECT_DOUBLE_EQ(back.fLatitude, bearing.fLatitude);
    EXPECT_EQ(back.strMethod, QStringLiteral("WatsonWatt"));
    bearing.strMethod.clear();
    EXPECT_FALSE(BearingJson::Format(bearing).contains("method")) << "a source that does not say gets no method";
}

TEST(BearingJsonTest, BadMessagesSayWhy)
{
    const struct
    {
        QByteArray line;
        const char* pszReason;
    } cases[] = {
        {Replaced(MESSAGE, R"("latitude":52.6,"longitude":13.2,)", ""), "no position"},
        {Replaced(MESSAGE, "143.2", "NaN"), "not JSON"},
        {Replaced(MESSAGE, "143.2", "360"), "bearing out of range"},
        {Replaced(MESSAGE, "143.2", "-0.5"), "bearing out of range"},
        {Replaced(MESSAGE, "52.6", "91"), "position out of range"},
        {Replaced(MESSAGE, R"("sigma":1.5)", R"("sigma":0)"), "sigma out of range"},
        {Replaced(MESSAGE, R"("seq":42)", R"("seq":0)"), "\"seq\""},
        {Replaced(MESSAGE, "08:00:01.250Z", "8 o'clock"), "\"time\""},
        {Replaced(MESSAGE, R"("frequency":145500000)", R"("frequency":"high")"), "\"frequency\" is not a number"},
        {MESSAGE.left(MESSAGE.size() / 2), "not JSON"},
        {"[1,2]", "not a JSON object"},
    };
    for (const auto& c : cases) {
        Bearing bearing;
        QString error;
        EXPECT_FALSE(BearingJson::Parse(c.line, bearing, error)) << c.line.constData();
        EXPECT_TRUE(error.contains(QLatin1String(c.pszReason))) << error.toStdString() << " / " << c.pszReason;
    }
}

TEST(ScenarioTest, InvalidFilesNameTheFieldAndKeepTheOldScenario)
{
    const QByteArray text = ReadFile(KVT_SOURCE_DIR "/scenarios/default.json");
    Scenario scenario;
    QString error;
    ASSERT_TRUE(scenario.Parse(text, error)) << error.toStdString();
    EXPECT_EQ(scenario.GetEmitters().size(), 2u);
    ASSERT_NE(scenario.FindStation(QStringLiteral("East")), nullptr);
    const Scenario::Station& east = *scenario.FindStation(QStringLiteral("East"));
    EXPECT_DOUBLE_EQ(east.fSigma, 2.5);
    EXPECT_EQ(east.eRole, Scenario::Role::Receiver);
    EXPECT_EQ(east.lstFollows, QStringList{QStringLiteral("North")});
    EXPECT_DOUBLE_EQ(east.motion.fRoll, 3.0);
    EXPECT_DOUBLE_EQ(east.motion.fPeriod, 6.0);
    EXPECT_EQ(scenario.FindStation(QStringLiteral("North"))->eRole, Scenario::Role::Sender);
    ASSERT_EQ(scenario.GetHandovers().size(), 2u);
    EXPECT_DOUBLE_EQ(scenario.GetHandovers()[1].fAt, 20.0);
    EXPECT_DOUBLE_EQ(scenario.GetHandovers()[1].fFrequency, 433920000.0);
    EXPECT_DOUBLE_EQ(scenario.GetEmitters()[0].fPower, 37.0);

    Scenario bare;
    ASSERT_TRUE(bare.Parse(Replaced(Replaced(Replaced(text, R"("power": 37.0,)", ""), R"(, "follows": ["North"] })", " }"),
                                    R"("motion": { "pitch": 1.5, "roll": 3.0, "period": 6.0 },)", ""),
                           error))
        << error.toStdString();
    EXPECT_DOUBLE_EQ(bare.GetEmitters()[0].fPower, Scenario::DEFAULT_POWER);
    EXPECT_TRUE(bare.FindStation(QStringLiteral("East"))->lstFollows.isEmpty());
    EXPECT_DOUBLE_EQ(bare.FindStation(QStringLiteral("East"))->motion.fRoll, 0.0);

    const struct
    {
        QByteArray text;
        const char* pszReason;
    } cases[] = {
        {Replaced(text, R"("sigma": 2.5)", R"("sigma": -1)"), "station 4: \"sigma\" out of range"},
        {Replaced(text, R"("role": "sender")", R"("role": "boss")"), "station 1: \"role\""},
        {Replaced(text, R"("latitude": 52.4300)", R"("latitude": 95)"), "emitter 2: \"latitude\" out of range"},
        {Replaced(text, R"("frequency": 145500000,)", ""), "emitter 1: \"frequency\" missing"},
        {Replaced(text, "\"start\"", "\"begin\""), "\"start\""},
        {Replaced(text, R"("at": 20.0, "station": "North")", R"("at": 20.0, "station": "East")"),
         "handover 2: \"station\" not a sender"},
        {Replaced(text, R"("at": 5.0, "station": "North")", R"("at": 5.0, "station": "Nowhere")"),
         "handover 1: \"station\" not a sender"},
        {Replaced(text, R"("follows": ["North"] })", R"("follows": "North" })"), "\"follows\" not a list"},
        {Replaced(text, R"("roll": 3.0)", R"("roll": "much")"), "station 4: \"motion\" \"roll\" not a number"},
        {Replaced(text, R"("motion": { "pitch": 0.5, "roll": 1.0, "period": 9.0 })", R"("motion": 3)"),
         "station 1: \"motion\" not an object"},
        {text.left(100), "not a JSON object"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(scenario.Parse(c.text, error));
        EXPECT_TRUE(error.contains(QLatin1String(c.pszReason))) << error.toStdString() << " / " << c.pszReason;
        EXPECT_EQ(scenario.GetStations().size(), 4u);
    }
}

class BearingFolderTest : public ::testing::Test
{
protected:
    void Append(const QString& name, const QByteArray& bytes) { ASSERT_TRUE(WriteFile(m_dir.filePath(name), bytes, true)); }

    QTemporaryDir m_dir;
    std::vector<Bearing> m_bearings;
    InputLog m_log;
    QString m_strError;
};

TEST_F(BearingFolderTest, FollowsAGrowingFileAndReadsACutLastLineOnlyAtTheEnd)
{
    BearingFolder folder(m_dir.path(), BearingFolder::Settings());
    EXPECT_FALSE(folder.Read(false, m_bearings, m_log, m_strError));
    EXPECT_TRUE(m_strError.contains(QLatin1String("no bearings.jsonl or dfdata.txt")));

    Append(QStringLiteral("bearings.jsonl"), MESSAGE + "\n" + MESSAGE.left(10));
    ASSERT_TRUE(folder.Read(false, m_bearings, m_log, m_strError));
    EXPECT_EQ(m_bearings.size(), 1u);
    Append(QStringLiteral("bearings.jsonl"), Replaced(MESSAGE, "42", "43").mid(10) + "\n\n" + MESSAGE.left(50));
    ASSERT_TRUE(folder.Read(false, m_bearings, m_log, m_strError));
    ASSERT_EQ(m_bearings.size(), 2u);
    EXPECT_EQ(m_bearings[1].nSeq, 43);
    EXPECT_EQ(m_log.GetRefused(), 0);

    ASSERT_TRUE(folder.Read(true, m_bearings, m_log, m_strError));
    EXPECT_EQ(m_bearings.size(), 2u);
    EXPECT_EQ(m_log.GetReasons().value(QStringLiteral("cut line")), 1);
    EXPECT_TRUE(m_log.GetExamples().first().endsWith(QLatin1String("bearings.jsonl:4: cut line")));
}

TEST_F(BearingFolderTest, SentencesTakeTheFolderNameAndTheScenarioRefusesUnknownStations)
{
    Scenario scenario;
    ASSERT_TRUE(scenario.Parse(ReadFile(KVT_SOURCE_DIR "/scenarios/default.json"), m_strError));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("West")));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("Elsewhere")));
    Append(QStringLiteral("West/dfdata.txt"), SENTENCE + "\r\n" + SENTENCE);
    Append(QStringLiteral("Elsewhere/dfdata.txt"), SENTENCE);

    const BearingFolder::Settings settings{&scenario, 3.0, true, QTimeZone::utc(), QDate()};
    BearingFolder west(m_dir.filePath(QStringLiteral("West")), settings);
    ASSERT_TRUE(west.Read(true, m_bearings, m_log, m_strError));
    ASSERT_EQ(m_bearings.size(), 2u);
    EXPECT_EQ(m_bearings[0].strStation, QStringLiteral("West"));
    EXPECT_DOUBLE_EQ(m_bearings[0].fSigma, 2.0);
    EXPECT_EQ(m_bearings[0].nTimeMs, scenario.GetStartMs() + 1000);

    BearingFolder elsewhere(m_dir.filePath(QStringLiteral("Elsewhere")), settings);
    ASSERT_TRUE(elsewhere.Read(true, m_bearings, m_log, m_strError));
    EXPECT_EQ(m_bearings.size(), 2u);
    EXPECT_EQ(m_log.GetReasons().value(QStringLiteral("unknown station")), 1);

    // The station started a new, shorter file: it is read from its start.
    QFile::remove(m_dir.filePath(QStringLiteral("West/dfdata.txt")));
    Append(QStringLiteral("West/dfdata.txt"), Replaced(SENTENCE, "080001", "080009"));
    ASSERT_TRUE(west.Read(true, m_bearings, m_log, m_strError));
    ASSERT_EQ(m_bearings.size(), 3u);
    EXPECT_EQ(m_bearings[2].nTimeMs, scenario.GetStartMs() + 9000);
}

}
