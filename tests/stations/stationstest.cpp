#include "stationstestsupport.h"

#include "base/arexception.h"
#include "base/errorhandler.h"
#include "base/iobserver.h"
#include "base/omekos.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stdadapter.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/qstringprinter.h"
#include "tests/common/tracelog.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

#include <QFile>

#include <gmock/gmock.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace
{

/// Adds an empty value tree and a captured trace sink, with traces and
/// assertions on, to the test's own configuration directory; afterwards the
/// options singleton and the host-name resolver are back to their defaults.
class StationsFixture : public ConfigDirFixture, public IObserver
{
protected:
    /// Counts the notifications of values the test lets the fixture observe.
    void Update(Observable*, TChangeCode) override { ++m_nUpdates; }

    void TearDown() override
    {
        Tree().Clear();
        KVTOptions::Finalise();
        OmekOS::SetResolver(nullptr);
        ConfigDirFixture::TearDown();
    }

    /// A section of the station configuration (view 5).
    static std::unique_ptr<ICfg> Section(const QString& path)
    {
        return std::unique_ptr<ICfg>(CfgCenter::GetAppCfg(ICfg::Station).GetSubCfg(path, ICfg::Station));
    }

    static std::unique_ptr<ICfg> Station(const QString& address, bool bCreate)
    {
        return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(address, bCreate));
    }

    // "Count", then the address of every entry up to the count (at most 100).
    static QStringList Stations()
    {
        const int nCount = Section("KVTStations")->GetInt("Count", -99, 0);
        QStringList lstResult{QString::number(nCount)};
        for (int i = 0; i < std::min(nCount, 100); ++i)
            lstResult << Section(QStringLiteral("KVTStations/KVTStation%1").arg(i))->GetString("DeviceAddress", QString(), 0);
        return lstResult;
    }

    static void SetDeviceText(const values::ValueDescriptor& descriptor, const QString& text)
    {
        Tree().Clear();
        Tree().CreateValue<values::Value<QString>>("/KVTServer" + descriptor.PathName(), text);
    }

    static values::Tree& Tree() { return *values::Tree::Instance(); }

    TraceLog m_traces{ErrorHandler::TRACE_BIT | ErrorHandler::ASSERT_BIT};
    int m_nUpdates = 0;
};

using StationCfgTest = StationsFixture;

TEST_F(StationCfgTest, FindsEntriesByExactAddressAndAppendsNewOnes)
{
    EXPECT_EQ(Station("A", false), nullptr);
    Station("A", true);
    Station("B", true);
    Station(QString(), true);
    Station("A", true);
    EXPECT_EQ(Stations(), (QStringList{"3", "A", "B", "Default"}));
    EXPECT_EQ(Station("a", false), nullptr);

    // An entry that lost its address hides none of the entries behind it.
    Section("KVTStations/KVTStation0")->RemoveKey("DeviceAddress");
    EXPECT_NE(Station("Default", false), nullptr);
    Station("C", true);
    EXPECT_EQ(Stations(), (QStringList{"4", "", "B", "Default", "C"}));

    // A count beyond the stored entries neither makes the search crawl nor
    // overflows: the new entry goes after the last one and repairs the count.
    Section("KVTStations")->SetString("Count", "2147483647", 0);
    Station("D", true);
    EXPECT_EQ(Section("KVTStations")->GetInt("Count", -99, 0), 5);
}

// Damaged lists: every station is still found, a new one gets an entry of its
// own (not one holding another station's address and antennas), and "Count"
// is repaired to cover every entry.
TEST_F(StationCfgTest, DamagedCountNeverHandsOutAnotherStationsEntry)
{
    // {stored "Count", numbers of the entries present}
    const std::pair<QString, std::vector<int>> aLayouts[] = {
        {"0", {0, 1, 2}},           {"-5", {0, 1, 2}}, {"abc", {0, 1, 2}},
        {"99999999999", {0, 1, 2}}, {"2", {0, 1, 2}},  {"4", {0, 1, 3}}};
    for (const auto& layout : aLayouts)
    {
        CfgCenter::Reset();
        QFile::remove(m_dir.filePath("station/Application.ini"));
        for (int n : layout.second)
        {
            const auto pEntry = Section(QStringLiteral("KVTStations/KVTStation%1").arg(n));
            pEntry->SetString("DeviceAddress", QStringLiteral("S%1").arg(n), 0);
            pEntry->SetString("Antennas", QStringLiteral("of S%1").arg(n), 0);
        }
        Section("KVTStations")->SetString("Count", layout.first, 0);

        EXPECT_EQ(Station("New", true)->GetString("Antennas", "none", 0), "none") << layout.first.toStdString();
        for (int n : layout.second)
            EXPECT_EQ(Station(QStringLiteral("S%1").arg(n), false)->GetString("Antennas", QString(), 0), QStringLiteral("of S%1").arg(n));
        EXPECT_EQ(Section("KVTStations")->GetInt("Count", -99, 0), layout.second.back() + 2) << layout.first.toStdString();
        EXPECT_EQ(Section(QStringLiteral("KVTStations/KVTStation%1").arg(layout.second.back() + 1))->GetString("DeviceAddress", QString(), 0), "New");
    }
}

// Only sub-sections named "KVTStation<n>" exactly are entries. Numbers run up to 2147483646, so
// that "Count" still holds the last one plus one; a list that has used that up takes no new
// station, and what would write a new station's section writes nothing.
TEST_F(StationCfgTest, OddEntryNamesHoldNoStationAndAUsedUpListTakesNoNewOne)
{
    const QStringList lstOddNames{"Other", "KVTStation", "KVTStationX", "KVTStation-1", "KVTStation01", "KVTStation+1"};
    for (const QString& name : lstOddNames)
        Section("KVTStations/" + name)->SetString("DeviceAddress", name, 0);
    for (const QString& name : lstOddNames)
        EXPECT_EQ(Station(name, false), nullptr) << name.toStdString();
    Station("New", true);
    EXPECT_EQ(Stations(), (QStringList{"1", "New"}));

    Section("KVTStations/KVTStation2147483645")->SetString("DeviceAddress", "High", 0);
    Station("Top", true);
    EXPECT_EQ(Section("KVTStations/KVTStation2147483646")->GetString("DeviceAddress", QString(), 0), "Top");
    EXPECT_EQ(Station("Full", true), nullptr);
    EXPECT_NE(Station("High", true), nullptr) << "stored stations are still found";

    const QStringList lstEntries = Section("KVTStations")->GetSubCfgNames();
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, "10.1.2.3:5000");
    KVTOptions::Instance()->AddOption(eOptCL);
    EXPECT_FALSE(KVTOptions::Instance()->WriteToCfg());
    AntennaDataList antennas;
    StationsTest::AddSampleSetup(antennas);
    antennas.WriteAntennaSetupToCfg("Full");
    EXPECT_EQ(Section("KVTStations")->GetSubCfgNames(), lstEntries);
    EXPECT_EQ(Section("KVTStations")->GetInt("Count", -99, 0), 2147483647);
}

// The entry another program added since this one last read the file is found once the file is
// held for the update, instead of a second entry for the same station.
TEST_F(StationCfgTest, StationAddedByAnotherProcessMeanwhileIsNotAddedTwice)
{
    Station("A", true);
    ASSERT_TRUE(CfgCenter::Flush());
    EXPECT_EQ(RunHelper(STATIONS_HELPER, {"add", "child0"}).exitCode(), 0);
    Station("child0", true)->SetString("Mark", "seen", 0);
    EXPECT_EQ(Stations(), (QStringList{"2", "A", "child0"}));
}

TEST_F(StationCfgTest, AddressKeepsTheSuffixAndResolvesTheHostPart)
{
    OmekOS::SetResolver([](const QString& host, QString& resolved) {
        resolved = "10.0.0.7";
        return host == QLatin1String("dfhost") ? 0 : 1;
    });
    EXPECT_EQ(StationCfg::GetStationAddress(), "Default");
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, "dfhost:5555");
    EXPECT_EQ(StationCfg::GetStationAddress(), "10.0.0.7:5555");
    SetDeviceText(StdDeviceDefinition::g_vdDevName, "DF north");
    EXPECT_EQ(StationCfg::GetStationName(), "DF north");
}

TEST_F(StationCfgTest, OptionsParseUpToTheFirstUnknownPieceAndTravel)
{
    // {text, accepted, resulting options in table order}; aliases count towards their option.
    const char* const aCases[][3] = {
        {"KVTN-HF;KVT-CL", "1", "KVT-CL;KVTN-HF"}, {"KVT-CL;XYZ;KVT-LF", "0", "KVT-CL"}, {"KVT-CL;", "0", "KVT-CL"},
        {"", "0", ""}, {"kvt-cl", "0", ""}, {"KVTU-HBW;KVTN-HBW;KVTU-HF;KVTU-HFR", "1", "KVT-HFR;KVTN-HF;KVTN-HBW;KVTN-HBW"}};
    KVTOptions& rOptions = *KVTOptions::Instance();
    for (const auto& c : aCases)
    {
        rOptions.ClearAllOptions();
        EXPECT_EQ(rOptions.AddOptionsFromString(c[0]), c[1][0] == '1') << c[0];
        EXPECT_EQ(rOptions.GetOptionsAsString(), c[2]) << c[0];
    }
    EXPECT_EQ(rOptions.GetOptionCount(eOptN_HBW), 2) << "an alias counts for its option";
    rOptions.RemoveOption(eOptN_HBW);
    EXPECT_EQ(rOptions.GetOptionCount(eOptN_HBW), 0);
    EXPECT_EQ(rOptions.GetOptionsAsString(), "KVT-HFR;KVTN-HF") << "removal drops every count";

    // Through the value tree and into the station's section.
    const QString strPath = "/KVTServer/DevAttr/Options";
    Tree().CreateValue<values::Value<int>>(strPath);
    EXPECT_FALSE(rOptions.ReadFromValueTree(strPath) || rOptions.WriteToValueTree(strPath, nullptr)) << "not a text value";

    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, "10.1.2.3:5000");
    auto* pValue = Tree().CreateValue<values::Value<QString>>(strPath, "KVTU-HF;KVTQ-MC");
    EXPECT_TRUE(rOptions.ReadFromValueTree(strPath));
    rOptions.AddOption(eOptCL);
    pValue->AddObserver(this);
    EXPECT_TRUE(rOptions.WriteToValueTree(strPath, this));
    EXPECT_EQ(pValue->GetValue(), "KVT-CL;KVTN-HF;KVTQ-MC");
    EXPECT_EQ(m_nUpdates, 0) << "the writer is not told of its own change";
    EXPECT_TRUE(rOptions.WriteToCfg());
    EXPECT_EQ(Station("10.1.2.3:5000", false)->GetString("DevOptions", QString(), 0), "KVT-CL;KVTN-HF;KVTQ-MC");
}

using namespace StationsTest;

const QString DEVICE = QStringLiteral("/KVTServer");
const QString CFG_NODE = QStringLiteral("/KVTServer/DevAttr/Cfg");

class AntennaSetupTest : public StationsFixture
{
protected:
    AntennaSetupTest() { StationsTest::AddSampleSetup(m_antennas); }

    // "SystemConfiguration/Antenna<index>" of the sample station; -1 for "SystemConfiguration".
    static std::unique_ptr<ICfg> Entry(int index)
    {
        const QString strPath = index < 0 ? "SystemConfiguration" : QStringLiteral("SystemConfiguration/Antenna%1").arg(index);
        return std::unique_ptr<ICfg>(Station(SAMPLE_STATION, true)->GetSubCfg(strPath, ICfg::Station));
    }

    // Stores name, span and used range, given as "<name> <minFreq> <maxFreq> <minRange> <maxRange>".
    static void StoreEntry(int index, const QString& fields)
    {
        const QStringList f = fields.split(QLatin1Char(' '));
        const std::unique_ptr<ICfg> pEntry = Entry(index);
        int i = 0;
        for (const char* key : {"Name", "MinFreq", "MaxFreq", "MinRange", "MaxRange"})
            pEntry->SetString(QString::fromLatin1(key), f[i++], 0);
    }

    static StdDeviceDefinition::StdAdapter Node(int index)
    {
        return StdDeviceDefinition::StdAdapter(Tree().FindNode(CFG_NODE + QStringLiteral("/Ant%1").arg(index)));
    }

    AntennaDataList m_antennas{DEVICE, QString()};
};

// Written here, read back by a fresh process that has never seen the setup.
TEST_F(AntennaSetupTest, StoredSetupReadsBackIdenticallyInANewProcess)
{
    m_antennas.WriteAntennaSetupToCfg(SAMPLE_STATION);
    EXPECT_EQ(Entry(0)->GetString("MaxFreq", QString(), 0), "30000000.000");

    EXPECT_EQ(QString::fromUtf8(RunHelper(STATIONS_HELPER, {"dump", SAMPLE_STATION}).readAllStandardOutput()),
              (QStringList{QStringLiteral("3")} + Describe(m_antennas)).join('\n') + '\n');

    // A used range that starts at the previous antenna's upper frequency is moved up by 1 Hz.
    Entry(1)->SetString(QStringLiteral("MinRange"), QStringLiteral("30000000.000"), 0);
    EXPECT_TRUE(m_antennas.ReadAntennaSetupFromCfg(SAMPLE_STATION));
    EXPECT_EQ(m_antennas.GetAntennaByIndex(1)->m_fMinRange, 30000001.0);

    m_antennas.allowSave(false);
    m_antennas.WriteAntennaSetupToCfg(QStringLiteral("other"));
    EXPECT_EQ(StationCfg::GetStationCfg(QStringLiteral("other"), false), nullptr);
}

TEST_F(AntennaSetupTest, BuildLimitsTheCountAndReadsMalformedNumbersAsZero)
{
    AntennaDataList antennas;
    EXPECT_EQ(antennas.BuildAntennasFromCfg(SAMPLE_STATION), 0);
    for (int i = 0; i < 13; ++i)
        StoreEntry(i, QStringLiteral("A%1 100 200 50 250").arg(i));
    // {stored count, result, records built}
    const char* const aCounts[][3] = {{nullptr, "1", "1"}, {"abc", "1", "1"}, {"0", "0", "0"},
                                      {"-3", "-3", "0"},   {"2147483647", "12", "12"}};
    for (const auto& c : aCounts)
    {
        if (c[0] != nullptr)
            Entry(-1)->SetString(QStringLiteral("AntennaCount"), QString::fromLatin1(c[0]), 0);
        antennas.Clear();
        EXPECT_EQ(antennas.BuildAntennasFromCfg(SAMPLE_STATION), QString::fromLatin1(c[1]).toInt()) << c[0];
        EXPECT_EQ(antennas.GetAntennaCount(), QString::fromLatin1(c[2]).toInt()) << c[0];
    }
    // Used ranges outside the span are pulled to its ends; no stored compass value reads as 0.
    EXPECT_EQ(Describe(*antennas.GetAntennaByIndex(11)), QStringLiteral("A11|100|200|100|200|0|0|||00000|"));

    Entry(-1)->SetInt(QStringLiteral("AntennaCount"), 1, 0);
    Entry(0)->SetString(QStringLiteral("DFAlgorithm"), QStringLiteral(",COR9,,bogus,"), 0);
    Entry(0)->SetString(QStringLiteral("CompassValue"), QStringLiteral("1e300"), 0);
    for (const char* text : {"", "abc", "1e400", "-1e400", "nan", "inf", "12abc"})
    {
        const QString strBad = QString::fromLatin1(text);
        StoreEntry(0, QStringLiteral("X %1 5e8 %1 %1").arg(strBad));
        Entry(0)->SetString(QStringLiteral("MechOffset"), strBad, 0);
        antennas.Clear();
        ASSERT_EQ(antennas.BuildAntennasFromCfg(SAMPLE_STATION), 1);
        EXPECT_EQ(Describe(*antennas.GetAntennaByIndex(0)), QStringLiteral("X|0|500000000|0|0|0|0|COR9,bogus|1,4294967295|00000|"))
            << text;
    }
}

// The store holds "VUHF Dipole" before "HF Loop": "HF Loop" is found at entry 1 and takes its
// values (each bound pulled to its own end of the span), so the search for "VUHF Dipole" starts
// at entry 2, finds only "SHF Horn" and ends the walk.
TEST_F(AntennaSetupTest, ReadSetupSearchesEntriesForwardOnly)
{
    m_antennas.WriteAntennaSetupToCfg(SAMPLE_STATION);
    Entry(0)->SetString(QStringLiteral("Name"), QStringLiteral("VUHF Dipole"), 0);
    Entry(1)->SetString(QStringLiteral("Name"), QStringLiteral("HF Loop"), 0);
    const QStringList lstOld = Describe(m_antennas);
    EXPECT_FALSE(m_antennas.ReadAntennaSetupFromCfg(QStringLiteral("unknown")));
    EXPECT_TRUE(m_antennas.ReadAntennaSetupFromCfg(SAMPLE_STATION));
    EXPECT_EQ(Describe(m_antennas),
              (QStringList{"HF Loop|300000|30000000|300000|30000000|12.5|0|COR8O,WAT|1,0|01001|HF-CONV", lstOld[1], lstOld[2]}));
}

// The helper is killed by the file-size limit while it writes a changed setup:
// the setup is one save, so the section still holds the whole old setup.
TEST_F(AntennaSetupTest, SetupWriteCutOffKeepsTheOldSetup)
{
    m_antennas.WriteAntennaSetupToCfg(SAMPLE_STATION);
    const qint64 nSize = QFile(Entry(0)->GetFileName()).size();
    CfgCenter::Reset();
    EXPECT_EQ(RunHelper(STATIONS_HELPER, {"rewrite", SAMPLE_STATION, QString::number(nSize + 60)}).exitStatus(), QProcess::CrashExit);

    AntennaDataList rebuilt;
    ASSERT_EQ(rebuilt.BuildAntennasFromCfg(SAMPLE_STATION), 3);
    EXPECT_EQ(Describe(rebuilt), Describe(m_antennas));
}

TEST_F(AntennaSetupTest, ValueTreeRoundTripUpdateByPositionAndBlockedNode)
{
    m_antennas.WriteAntennasToValueTree(QString());
    Tree().CreateValue<values::Value<int>>(CFG_NODE + "/Other", 5);
    m_antennas.WriteAntennasToValueTree(DEVICE);
    EXPECT_EQ(Tree().FindNode(CFG_NODE)->GetChildCount(), 4) << "only antenna nodes are replaced";
    AntennaDataList read;
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 3);
    // The tree names DF methods by their codes: "COR8O" comes back as "COR9".
    m_antennas.GetAntennaByIndex(0)->m_lstDfMethodNames[0] = "COR9";
    QStringList lstExpected = Describe(m_antennas);
    EXPECT_EQ(Describe(read), lstExpected);
    const AntennaData& rLast = *read.GetAntennaByIndex(2);
    EXPECT_EQ(QList<int>({rLast.m_nHandle, rLast.m_nCompassHandle, rLast.m_nConverterHandle, int(rLast.m_ePolarizationMode)}),
              QList<int>({3, 12, 22, 3}));

    // Update pairs records and nodes by position, skips a renamed node and keeps what a node lacks;
    // a NaN in the tree reaches the record as 0.
    Node(0).GetAntMinRange()->SetValue(1000000.0);
    Node(0).GetAntMechOffset()->SetValue(std::nan(""));
    Node(0).GetAntHandle()->SetValue(77);
    Node(1).GetAntName()->SetValue("Renamed");
    values::Node* pShf = Node(2).GetNode();
    pShf->RemoveChild(pShf->GetChild("AntConverterTypeName"));
    m_antennas.GetAntennaByIndex(2)->m_strConverterTypeName = "kept";
    EXPECT_EQ(m_antennas.UpdateAntennasFromValueTree(QString()), 2) << "the list's own device";
    lstExpected[0].replace("|500000.125|", "|1000000|").replace("|-3.5|", "|0|");
    lstExpected[2] += "kept";
    EXPECT_EQ(Describe(m_antennas), lstExpected);
    EXPECT_EQ(m_antennas.GetAntennaByIndex(0)->m_nHandle, 1);
    EXPECT_TRUE(m_traces.Contains("WARNING: antenna Renamed 2e+07 - 3e+09 (handle=2) in value tree does not match AntennaDataList"));
    EXPECT_TRUE(m_traces.Contains("_GETVALUE AntConverterTypeName failed - ignored"));

    // Read again into as many records as there are nodes: each starts from the
    // defaults, so what a node lacks is not carried over from the earlier read.
    values::Node* pHf = Node(0).GetNode();
    pHf->RemoveChild(pHf->GetChild("AntConverterTypeName"));
    ASSERT_EQ(read.GetAntennaByIndex(0)->m_strConverterTypeName, "HF-CONV");
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 3);
    EXPECT_EQ(read.GetAntennaByIndex(0)->m_strConverterTypeName, QString());
    EXPECT_EQ(read.GetAntennaByIndex(0)->m_nHandle, 77);

    read.DeleteAllAntennasFromValueTree(DEVICE);
    EXPECT_EQ(Tree().FindNode(CFG_NODE)->GetChildCount(), 1);
    EXPECT_EQ(read.ReadAntennasFromValueTree(DEVICE), 0);

    // A device whose configuration node is blocked by a value.
    Tree().CreateValue<values::Value<int>>("/Blocked/DevAttr", 1);
    Tree().CreateValue<values::Value<int>>("/Taken/DevAttr/Cfg", 1);
    for (const QString& strDevice : {QStringLiteral("/Blocked"), QStringLiteral("/Taken")})
    {
        EXPECT_THROW(m_antennas.UpdateAntennasFromValueTree(strDevice), ARException);
        EXPECT_THAT([&] { m_antennas.WriteAntennasToValueTree(strDevice); },
                    testing::ThrowsMessage<ARException>(testing::StrEq("Could not create node according to value descriptor /DevAttr/Cfg.")));
    }
}

}
