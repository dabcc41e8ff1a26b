#include "stationsfixture.h"
#include "stationstestsupport.h"

#include "base/arexception.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stdadapter.h"
#include "valueframework/valueclasses/node.h"

#include <QFile>
#include <QProcess>

namespace
{

using StationsTest::SampleStation;

const QString DEVICE = QStringLiteral("/KVTServer");
const QString CFG_NODE = QStringLiteral("/KVTServer/DevAttr/Cfg");

class AntennaSetupTest : public StationsFixture
{
protected:
    void SetUp() override
    {
        StationsFixture::SetUp();
        StationsTest::AddSampleSetup(m_antennas);
    }

    static std::unique_ptr<ICfg> Station(const QString& path)
    {
        const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(SampleStation(), true));
        return std::unique_ptr<ICfg>(pStation->GetSubCfg(path, ICfg::Station));
    }

    static std::unique_ptr<ICfg> Entry(int index)
    {
        return Station(QStringLiteral("SystemConfiguration/Antenna%1").arg(index));
    }

    // span and range are "<min> <max>" texts.
    static void StoreEntry(int index, const QString& name, const QString& span, const QString& range)
    {
        const std::unique_ptr<ICfg> pEntry = Entry(index);
        pEntry->SetString(QStringLiteral("Name"), name, 0);
        pEntry->SetString(QStringLiteral("MinFreq"), span.section(QLatin1Char(' '), 0, 0), 0);
        pEntry->SetString(QStringLiteral("MaxFreq"), span.section(QLatin1Char(' '), 1), 0);
        pEntry->SetString(QStringLiteral("MinRange"), range.section(QLatin1Char(' '), 0, 0), 0);
        pEntry->SetString(QStringLiteral("MaxRange"), range.section(QLatin1Char(' '), 1), 0);
    }

    QProcess& RunHelper(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KVT_CONFIG_DIR"), m_dir.path());
        m_helper.setProcessEnvironment(environment);
        m_helper.start(QStringLiteral(STATIONS_HELPER), arguments);
        EXPECT_TRUE(m_helper.waitForFinished(60000));
        return m_helper;
    }

    static StdDeviceDefinition::StdAdapter Node(int index)
    {
        return StdDeviceDefinition::StdAdapter(values::Tree::Instance()->FindNode(CFG_NODE + QStringLiteral("/Ant%1").arg(index)));
    }

    AntennaDataList m_antennas{DEVICE, QString()};
    QProcess m_helper;
};

// Written here, read back by a fresh process that has never seen the setup.
TEST_F(AntennaSetupTest, StoredSetupReadsBackIdenticallyInANewProcess)
{
    m_antennas.WriteAntennaSetupToCfg(SampleStation());
    EXPECT_EQ(Entry(0)->GetKeys().size(), 15);
    EXPECT_EQ(Entry(0)->GetString(QStringLiteral("MinRange"), QString(), 0), QStringLiteral("500000.125"));
    EXPECT_EQ(Entry(0)->GetString(QStringLiteral("MaxFreq"), QString(), 0), QStringLiteral("30000000.000"));
    EXPECT_EQ(Entry(0)->GetString(QStringLiteral("MechOffset"), QString(), 0), QStringLiteral("-3.5"));
    EXPECT_EQ(Entry(0)->GetString(QStringLiteral("DFAlgorithm"), QString(), 0), QStringLiteral("COR8O,WAT"));

    QProcess& helper = RunHelper({QStringLiteral("dump"), SampleStation()});
    ASSERT_EQ(helper.exitCode(), 0) << helper.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(helper.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              QStringList{QStringLiteral("3")} + StationsTest::Describe(m_antennas));

    AntennaDataList rebuilt;
    EXPECT_EQ(rebuilt.BuildAntennasFromCfg(SampleStation()), 3);
    EXPECT_EQ(rebuilt.GetAntennaByIndex(1)->m_nConverterHandle, -1);
    EXPECT_EQ(rebuilt.GetAntennaByIndex(1)->m_ePolarizationMode, POL_LEFT);

    m_antennas.allowSave(false);
    m_antennas.WriteAntennaSetupToCfg(QStringLiteral("other"));
    EXPECT_EQ(StationCfg::GetStationCfg(QStringLiteral("other"), false), nullptr);
}

TEST_F(AntennaSetupTest, BuildLimitsTheCountAndReadsMalformedNumbersAsZero)
{
    AntennaDataList antennas;
    EXPECT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), 0);
    for (int i = 0; i < 13; ++i)
        StoreEntry(i, QStringLiteral("A%1").arg(i), QStringLiteral("100 200"), QStringLiteral("50 250"));
    const struct
    {
        const char* count;
        int nResult;
        int nBuilt;
    } aCounts[] = {{"absent", 1, 1}, {"abc", 1, 1}, {"0", 0, 0}, {"-3", -3, 0}, {"2147483647", 12, 12}, {"20", 12, 12}};
    for (const auto& c : aCounts)
    {
        if (qstrcmp(c.count, "absent") != 0)
            Station(QStringLiteral("SystemConfiguration"))->SetString(QStringLiteral("AntennaCount"), QString::fromLatin1(c.count), 0);
        antennas.Clear();
        EXPECT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), c.nResult) << c.count;
        EXPECT_EQ(antennas.GetAntennaCount(), c.nBuilt) << c.count;
    }
    // Used ranges outside the span are pulled to its ends; no stored compass value reads as 0.
    EXPECT_EQ(StationsTest::Describe(*antennas.GetAntennaByIndex(0)), QStringLiteral("A0|100|200|100|200|0|0|||00000|"));

    Station(QStringLiteral("SystemConfiguration"))->SetInt(QStringLiteral("AntennaCount"), 1, 0);
    Entry(0)->SetString(QStringLiteral("DFAlgorithm"), QStringLiteral(",COR9,,bogus,"), 0);
    for (const char* text : {"", "abc", "1e400", "-1e400", "nan", "inf", "12abc"})
    {
        const QString strText = QString::fromLatin1(text);
        StoreEntry(0, QStringLiteral("X"), strText + QStringLiteral(" 5e8"), strText + QLatin1Char(' ') + strText);
        Entry(0)->SetString(QStringLiteral("MechOffset"), strText, 0);
        Entry(0)->SetString(QStringLiteral("CompassValue"), QStringLiteral("1e300"), 0);
        antennas.Clear();
        ASSERT_EQ(antennas.BuildAntennasFromCfg(SampleStation()), 1) << text;
        EXPECT_EQ(StationsTest::Describe(*antennas.GetAntennaByIndex(0)),
                  QStringLiteral("X|0|500000000|0|0|0|0|COR9,bogus|1,4294967295|00000|"))
            << text;
    }
}

// List sorted A, B; the store holds B (entry 0) and A (entry 1). A is found at
// entry 1, so B's search starts at entry 2, finds no name and ends the walk.
TEST_F(AntennaSetupTest, ReadSetupSearchesEntriesForwardOnly)
{
    m_antennas.Clear();
    StoreEntry(0, QStringLiteral("B"), QStringLiteral("200 300"), QStringLiteral("210 290"));
    StoreEntry(1, QStringLiteral("A"), QStringLiteral("100 200"), QStringLiteral("100 150"));
    Entry(1)->SetBool(QStringLiteral("CompassEnabled"), true, 0);
    Entry(1)->SetString(QStringLiteral("MechOffset"), QStringLiteral("4.5"), 0);
    for (const QString& strRecord : {QStringLiteral("B 200 300"), QStringLiteral("A 100 200")})
    {
        auto* pAntenna = new AntennaData;
        pAntenna->m_strName = strRecord.section(QLatin1Char(' '), 0, 0);
        pAntenna->m_fMinFreq = pAntenna->m_fMinRange = strRecord.section(QLatin1Char(' '), 1, 1).toDouble();
        pAntenna->m_fMaxFreq = pAntenna->m_fMaxRange = strRecord.section(QLatin1Char(' '), 2, 2).toDouble();
        pAntenna->m_strConverterTypeName = QStringLiteral("kept");
        m_antennas.AddAntenna(pAntenna);
    }
    EXPECT_FALSE(m_antennas.ReadAntennaSetupFromCfg(QStringLiteral("unknown")));
    EXPECT_TRUE(m_antennas.ReadAntennaSetupFromCfg(SampleStation()));
    EXPECT_EQ(StationsTest::Describe(m_antennas),
              (QStringList{QStringLiteral("A|100|200|100|150|-1|4.5|||00100|kept"),
                           QStringLiteral("B|200|300|200|300|-1|0|||10000|kept")}));
}

// A stored range that starts at the previous antenna's upper frequency is moved up by 1 Hz.
TEST_F(AntennaSetupTest, ReadSetupSeparatesARangeStartingAtThePreviousSpanEnd)
{
    m_antennas.WriteAntennaSetupToCfg(SampleStation());
    Entry(1)->SetString(QStringLiteral("MinRange"), QStringLiteral("30000000.000"), 0);
    EXPECT_TRUE(m_antennas.ReadAntennaSetupFromCfg(SampleStation()));
    EXPECT_EQ(m_antennas.GetAntennaByIndex(1)->m_fMinRange, 30000001.0);
}

// The helper is killed by the file-size limit in the middle of writing a
// changed setup: the section still reads as a whole setup whose members are
// each either the old or the new value.
TEST_F(AntennaSetupTest, SetupWriteCutOffLeavesAReadableSection)
{
    m_antennas.WriteAntennaSetupToCfg(SampleStation());
    const qint64 nSize = QFile(Entry(0)->GetFileName()).size();
    CfgCenter::Reset();
    EXPECT_EQ(RunHelper({QStringLiteral("rewrite"), SampleStation(), QString::number(nSize + 60)}).exitStatus(),
              QProcess::CrashExit);

    AntennaDataList rebuilt;
    ASSERT_EQ(rebuilt.BuildAntennasFromCfg(SampleStation()), 3);
    const AntennaData& rFirst = *rebuilt.GetAntennaByIndex(0);
    EXPECT_EQ(rFirst.m_fMinRange, 300000.0);
    EXPECT_EQ(rFirst.m_strConverterTypeName, QStringLiteral("HF-CONV-REPLACED-BY-A-LONGER-CONVERTER-NAME"));
    EXPECT_EQ(StationsTest::Describe(*rebuilt.GetAntennaByIndex(2)), StationsTest::Describe(*m_antennas.GetAntennaByIndex(2)));
    EXPECT_EQ(rebuilt.GetAntennaByIndex(1)->m_strConverterTypeName, QStringLiteral("VQ28"));
}

TEST_F(AntennaSetupTest, ValueTreeRoundTripReplacesOnlyAntennaNodes)
{
    m_antennas.WriteAntennasToValueTree(QString());
    values::Tree::Instance()->CreateValue<values::Value<int>>(CFG_NODE + QStringLiteral("/Other"), 5);
    m_antennas.WriteAntennasToValueTree(DEVICE);
    EXPECT_EQ(values::Tree::Instance()->FindNode(CFG_NODE)->GetChildCount(), 4);
    EXPECT_EQ(Node(2).GetAntDfAlgorithm()->GetItemCount(), 0);
    EXPECT_EQ(Node(1).GetAntDfAlgorithm()->GetItem(2)->GetKey(), 2);

    AntennaDataList read;
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 3);
    // The tree names DF methods by their codes: "COR8O" comes back as "COR9".
    m_antennas.GetAntennaByIndex(0)->m_lstDfMethodNames[0] = QStringLiteral("COR9");
    EXPECT_EQ(StationsTest::Describe(read), StationsTest::Describe(m_antennas));
    for (int i = 0; i < 3; ++i)
    {
        const AntennaData& rRead = *read.GetAntennaByIndex(i);
        const AntennaData& rWritten = *m_antennas.GetAntennaByIndex(i);
        EXPECT_EQ(QList<int>({rRead.m_nHandle, rRead.m_nCompassHandle, rRead.m_nConverterHandle, int(rRead.m_ePolarizationMode)}),
                  QList<int>({rWritten.m_nHandle, rWritten.m_nCompassHandle, rWritten.m_nConverterHandle,
                              int(rWritten.m_ePolarizationMode)}));
    }

    read.DeleteAllAntennasFromValueTree(DEVICE);
    EXPECT_EQ(values::Tree::Instance()->FindNode(CFG_NODE)->GetChildCount(), 1);
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 0);
}

TEST_F(AntennaSetupTest, UpdateMatchesNodesByPositionAndTracesWhatItSkips)
{
    m_antennas.WriteAntennasToValueTree(DEVICE);
    Node(0).GetAntMinRange()->SetValue(1000000.0);
    Node(0).GetAntHandle()->SetValue(77);
    Node(1).GetAntName()->SetValue(QStringLiteral("Renamed"));
    values::Node* pShf = Node(2).GetNode();
    pShf->RemoveChild(pShf->GetChild(QStringLiteral("AntConverterTypeName")));
    m_antennas.GetAntennaByIndex(2)->m_strConverterTypeName = QStringLiteral("kept");

    EXPECT_EQ(m_antennas.UpdateAntennasFromValueTree(DEVICE), 2);
    EXPECT_EQ(m_antennas.UpdateAntennasFromValueTree(QString()), 2);
    EXPECT_EQ(StationsTest::Describe(m_antennas),
              (QStringList{QStringLiteral("HF Loop|300000|30000000|1000000|29999999.875|12.5|-3.5|COR9,WAT|1,0|11101|HF-CONV"),
                           QStringLiteral("VUHF Dipole|20000000|3000000000|30000000.001|2999999999.999|-1|0|VMR,COR9,SUPR|3,1,2|00010|VQ28"),
                           QStringLiteral("SHF Horn|2900000000|8000000000|2900000000|8000000000|-1|0|||10000|kept")}));
    EXPECT_EQ(m_antennas.GetAntennaByIndex(0)->m_nHandle, 1);
    EXPECT_TRUE(m_strTraces.contains(
        QStringLiteral("WARNING: antenna Renamed 2e+07 - 3e+09 (handle=2) in value tree does not match AntennaDataList")));
    EXPECT_TRUE(m_strTraces.contains(QStringLiteral("_GETVALUE AntConverterTypeName failed - ignored")));
}

TEST_F(AntennaSetupTest, BlockedConfigurationNodeThrows)
{
    values::Tree::Instance()->CreateValue<values::Value<int>>(QStringLiteral("/Blocked/DevAttr"), 1);
    values::Tree::Instance()->CreateValue<values::Value<int>>(QStringLiteral("/Taken/DevAttr/Cfg"), 1);
    for (const QString& strDevice : {QStringLiteral("/Blocked"), QStringLiteral("/Taken")})
    {
        try
        {
            m_antennas.WriteAntennasToValueTree(strDevice);
            ADD_FAILURE() << "no exception";
        }
        catch (const ARException& e)
        {
            EXPECT_EQ(e.GetMessage(), QStringLiteral("Could not create node according to value descriptor /DevAttr/Cfg."));
            EXPECT_EQ(e.GetFunction(), QStringLiteral("CreateNode"));
        }
        EXPECT_THROW(m_antennas.UpdateAntennasFromValueTree(strDevice), ARException);
        EXPECT_THROW(m_antennas.ReadAntennasFromValueTree(strDevice), ARException);
    }
}

}
