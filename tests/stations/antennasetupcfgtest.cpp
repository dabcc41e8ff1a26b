#include "stationsfixture.h"
#include "stationstestsupport.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"

#include <QFile>
#include <QProcess>

namespace
{

using StationsTest::SampleStation;

class AntennaSetupCfgTest : public StationsFixture
{
protected:
    static std::unique_ptr<ICfg> Section(const QString& path)
    {
        const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(SampleStation(), true));
        return std::unique_ptr<ICfg>(pStation->GetSubCfg(path, ICfg::Station));
    }

    static std::unique_ptr<ICfg> Entry(int index)
    {
        return Section(QStringLiteral("SystemConfiguration/Antenna%1").arg(index));
    }

    static void SetCount(int count)
    {
        Section(QStringLiteral("SystemConfiguration"))->SetInt(QStringLiteral("AntennaCount"), count, 0);
    }

    static void StoreEntry(int index, const QString& name, const QString& minFreq, const QString& maxFreq,
                           const QString& minRange, const QString& maxRange)
    {
        const std::unique_ptr<ICfg> pEntry = Entry(index);
        pEntry->SetString(QStringLiteral("Name"), name, 0);
        pEntry->SetString(QStringLiteral("MinFreq"), minFreq, 0);
        pEntry->SetString(QStringLiteral("MaxFreq"), maxFreq, 0);
        pEntry->SetString(QStringLiteral("MinRange"), minRange, 0);
        pEntry->SetString(QStringLiteral("MaxRange"), maxRange, 0);
    }

    // Runs the helper on this test's configuration directory.
    QProcess& RunHelper(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KVT_CONFIG_DIR"), m_dir.path());
        m_helper.setProcessEnvironment(environment);
        m_helper.start(QStringLiteral(STATIONS_HELPER), arguments);
        EXPECT_TRUE(m_helper.waitForFinished(60000));
        return m_helper;
    }

    QProcess m_helper;
};

TEST_F(AntennaSetupCfgTest, WritesFixedPointTextsAndJoinedMethodNames)
{
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennaSetupToCfg(SampleStation());

    EXPECT_EQ(Section(QStringLiteral("SystemConfiguration"))->GetInt(QStringLiteral("AntennaCount"), -1, 0), 3);
    const std::unique_ptr<ICfg> pHf = Entry(0);
    EXPECT_EQ(pHf->GetKeys().size(), 15);
    EXPECT_EQ(pHf->GetString(QStringLiteral("MinRange"), QString(), 0), QStringLiteral("500000.125"));
    EXPECT_EQ(pHf->GetString(QStringLiteral("MaxFreq"), QString(), 0), QStringLiteral("30000000.000"));
    EXPECT_EQ(pHf->GetString(QStringLiteral("MechOffset"), QString(), 0), QStringLiteral("-3.5"));
    EXPECT_EQ(pHf->GetString(QStringLiteral("CompassValue"), QString(), 0), QStringLiteral("12.500"));
    EXPECT_EQ(pHf->GetString(QStringLiteral("DFAlgorithm"), QString(), 0), QStringLiteral("COR8O,WAT"));
    const std::unique_ptr<ICfg> pVuhf = Entry(1);
    EXPECT_EQ(pVuhf->GetString(QStringLiteral("MaxRange"), QString(), 0), QStringLiteral("2999999999.999"));
    EXPECT_EQ(pVuhf->GetInt(QStringLiteral("PolarizationMode"), -1, 0), 3);
    EXPECT_FALSE(pVuhf->GetBool(QStringLiteral("Enabled"), true, 0));
    EXPECT_EQ(Entry(2)->GetString(QStringLiteral("DFAlgorithm"), QStringLiteral("<absent>"), 0), QString());

    AntennaDataList locked;
    StationsTest::AddSampleSetup(locked);
    locked.allowSave(false);
    locked.WriteAntennaSetupToCfg(QStringLiteral("other station"));
    EXPECT_EQ(StationCfg::GetStationCfg(QStringLiteral("other station"), false), nullptr);
}

// Written here, read back by a fresh process that has never seen the setup.
TEST_F(AntennaSetupCfgTest, SetupReadsBackIdenticallyInANewProcess)
{
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennaSetupToCfg(SampleStation());

    QProcess& helper = RunHelper({QStringLiteral("dump"), SampleStation()});
    ASSERT_EQ(helper.exitCode(), 0) << helper.readAllStandardError().toStdString();
    const QStringList lstOutput = QString::fromUtf8(helper.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lstOutput, QStringList{QStringLiteral("3")} + StationsTest::DescribeStored(antennas));

    AntennaDataList rebuilt;
    EXPECT_EQ(rebuilt.BuildAntennasFromCfg(SampleStation()), 3);
    for (int i = 0; i < rebuilt.GetAntennaCount(); ++i)
    {
        const AntennaData* pAntenna = rebuilt.GetAntennaByIndex(i);
        EXPECT_EQ(pAntenna->m_nHandle, -1);
        EXPECT_EQ(pAntenna->m_nCompassHandle, -1);
        EXPECT_EQ(pAntenna->m_nConverterHandle, -1);
        EXPECT_EQ(pAntenna->m_ePolarizationMode, POL_LEFT);
    }
}

TEST_F(AntennaSetupCfgTest, BuildLimitsTheCountAndPullsRangesIntoTheSpan)
{
    AntennaDataList antennas;
    EXPECT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), 0);

    for (int i = 0; i < 20; ++i)
        StoreEntry(i, QStringLiteral("A%1").arg(i), QStringLiteral("100.0"), QStringLiteral("200.0"),
                   QStringLiteral("50"), QStringLiteral("250"));
    EXPECT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), 1);
    ASSERT_EQ(antennas.GetAntennaCount(), 1);
    EXPECT_EQ(antennas.GetAntennaByIndex(0)->m_fMinRange, 100.0);
    EXPECT_EQ(antennas.GetAntennaByIndex(0)->m_fMaxRange, 200.0);
    EXPECT_EQ(antennas.GetAntennaByIndex(0)->m_fCompassValue, 0.0f);

    antennas.Clear();
    Section(QStringLiteral("SystemConfiguration"))->SetString(QStringLiteral("AntennaCount"), QStringLiteral("abc"), 0);
    EXPECT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), 1);

    for (int nCount : {20, 2147483647})
    {
        antennas.Clear();
        SetCount(nCount);
        EXPECT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), 12);
        EXPECT_EQ(antennas.GetAntennaCount(), 12);
        EXPECT_EQ(antennas.GetAntennaByIndex(11)->m_strName, QStringLiteral("A11"));
    }

    for (int nCount : {0, -3, -2147483647 - 1})
    {
        antennas.Clear();
        SetCount(nCount);
        EXPECT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), nCount);
        EXPECT_EQ(antennas.GetAntennaCount(), 0);
    }
}

TEST_F(AntennaSetupCfgTest, MalformedNumbersReadAsZero)
{
    SetCount(1);
    for (const char* text : {"", "abc", "1e400", "-1e400", "nan", "inf", "12abc"})
    {
        const QString strText = QString::fromLatin1(text);
        StoreEntry(0, QStringLiteral("X"), strText, QStringLiteral("5e8"), strText, strText);
        const std::unique_ptr<ICfg> pEntry = Entry(0);
        pEntry->SetString(QStringLiteral("MechOffset"), strText, 0);
        pEntry->SetString(QStringLiteral("CompassValue"), QStringLiteral("1e300"), 0);
        pEntry->SetString(QStringLiteral("DFAlgorithm"), QStringLiteral(",COR9,,bogus,"), 0);
        pEntry->SetInt(QStringLiteral("PolarizationMode"), 3, 0);

        AntennaDataList antennas;
        ASSERT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), 1) << text;
        const AntennaData& rAntenna = *antennas.GetAntennaByIndex(0);
        EXPECT_EQ(rAntenna.m_fMinFreq, 0.0) << text;
        EXPECT_EQ(rAntenna.m_fMaxFreq, 5e8) << text;
        EXPECT_EQ(rAntenna.m_fMinRange, 0.0) << text;
        EXPECT_EQ(rAntenna.m_fMaxRange, 0.0) << text;
        EXPECT_EQ(rAntenna.m_fMechOffset, 0.0f) << text;
        EXPECT_EQ(rAntenna.m_fCompassValue, 0.0f) << text;
        EXPECT_EQ(rAntenna.m_lstDfMethodNames, (QStringList{QStringLiteral("COR9"), QStringLiteral("bogus")}));
        EXPECT_EQ(rAntenna.m_lstDfMethods, (QList<quint32>{DF_METHOD_COR, DF_METHOD_UNKNOWN}));
        EXPECT_EQ(rAntenna.m_ePolarizationMode, POL_LEFT);
    }
}

// List sorted A, B; the store holds B (entry 0) and A (entry 1). A is found at
// entry 1, so B's search starts at entry 2, finds no name and ends the walk.
TEST_F(AntennaSetupCfgTest, ReadSetupSearchesEntriesForwardOnly)
{
    StoreEntry(0, QStringLiteral("B"), QStringLiteral("200"), QStringLiteral("300"), QStringLiteral("210"), QStringLiteral("290"));
    StoreEntry(1, QStringLiteral("A"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("100"), QStringLiteral("150"));
    Entry(1)->SetBool(QStringLiteral("CompassEnabled"), true, 0);
    Entry(1)->SetString(QStringLiteral("MechOffset"), QStringLiteral("4.5"), 0);

    AntennaDataList antennas;
    for (const char* name : {"B", "A"})
    {
        auto* pAntenna = new AntennaData;
        pAntenna->m_strName = QString::fromLatin1(name);
        pAntenna->m_fMinFreq = name[0] == 'A' ? 100 : 200;
        pAntenna->m_fMaxFreq = name[0] == 'A' ? 200 : 300;
        pAntenna->m_fMinRange = pAntenna->m_fMinFreq;
        pAntenna->m_fMaxRange = pAntenna->m_fMaxFreq;
        pAntenna->m_strConverterTypeName = QStringLiteral("kept");
        antennas.AddAntenna(pAntenna);
    }
    EXPECT_FALSE(antennas.ReadAntennaSetupFromCfg(QStringLiteral("unknown")));
    EXPECT_TRUE(antennas.ReadAntennaSetupFromCfg(SampleStation()));

    const AntennaData& rA = *antennas.GetAntennaByIndex(0);
    EXPECT_EQ(rA.m_strName, QStringLiteral("A"));
    EXPECT_EQ(rA.m_fMaxRange, 150.0);
    EXPECT_FALSE(rA.m_bEnabled);
    EXPECT_TRUE(rA.m_bCompassEnabled);
    EXPECT_EQ(rA.m_fMechOffset, 4.5f);
    EXPECT_EQ(rA.m_strConverterTypeName, QStringLiteral("kept"));
    const AntennaData& rB = *antennas.GetAntennaByIndex(1);
    EXPECT_EQ(rB.m_fMinRange, 200.0);
    EXPECT_EQ(rB.m_fMaxRange, 300.0);
    EXPECT_TRUE(rB.m_bEnabled);
}

// A stored range that starts at the previous antenna's upper frequency is moved up by 1 Hz.
TEST_F(AntennaSetupCfgTest, ReadSetupSeparatesARangeStartingAtThePreviousSpanEnd)
{
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennaSetupToCfg(SampleStation());
    Entry(1)->SetString(QStringLiteral("MinRange"), QStringLiteral("30000000.000"), 0);
    Entry(1)->SetBool(QStringLiteral("Enabled"), true, 0);

    EXPECT_TRUE(antennas.ReadAntennaSetupFromCfg(SampleStation()));
    EXPECT_EQ(antennas.GetAntennaByIndex(1)->m_fMinRange, 30000001.0);
    EXPECT_EQ(antennas.GetAntennaByIndex(0)->m_fMinRange, 500000.125);
}

// The helper is killed by the file-size limit in the middle of writing a
// changed setup: the station's section must still read as a whole setup,
// each member either the old or the new value.
TEST_F(AntennaSetupCfgTest, SetupWriteCutOffLeavesAReadableSection)
{
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennaSetupToCfg(SampleStation());
    const qint64 nSize = QFile(Entry(0)->GetFileName()).size();
    CfgCenter::Reset();

    QProcess& helper = RunHelper({QStringLiteral("rewrite"), SampleStation(), QString::number(nSize + 60)});
    EXPECT_EQ(helper.exitStatus(), QProcess::CrashExit);

    AntennaDataList rebuilt;
    ASSERT_EQ(rebuilt.BuildAntennasFromCfg(SampleStation()), 3);
    bool bAnyChanged = false;
    for (int i = 0; i < 3; ++i)
    {
        const AntennaData& rOld = *antennas.GetAntennaByIndex(i);
        const AntennaData& rNow = *rebuilt.GetAntennaByIndex(i);
        EXPECT_EQ(rNow.m_strName, rOld.m_strName);
        EXPECT_EQ(rNow.m_lstDfMethodNames, rOld.m_lstDfMethodNames);
        EXPECT_TRUE(rNow.m_fMinRange == rOld.m_fMinRange || rNow.m_fMinRange == rOld.m_fMinFreq) << i;
        EXPECT_TRUE(rNow.m_strConverterTypeName == rOld.m_strConverterTypeName ||
                    rNow.m_strConverterTypeName.startsWith(rOld.m_strConverterTypeName + QStringLiteral("-REPLACED")))
            << i;
        bAnyChanged = bAnyChanged || rNow.m_strConverterTypeName != rOld.m_strConverterTypeName;
    }
    EXPECT_TRUE(bAnyChanged);
}

}
