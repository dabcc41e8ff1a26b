#include "stationsfixture.h"

#include "base/omekos.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"

namespace
{

class StationCfgTest : public StationsFixture
{
protected:
    void TearDown() override
    {
        OmekOS::SetResolver(nullptr);
        StationsFixture::TearDown();
    }

    static std::unique_ptr<ICfg> Station(const QString& address, bool bCreate)
    {
        return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(address, bCreate));
    }

    static QString EntryAddress(int index)
    {
        return StationsSection(QStringLiteral("KVTStations/KVTStation%1").arg(index))
            ->GetString(QStringLiteral("DeviceAddress"), QStringLiteral("<absent>"), 0);
    }

    static int StoredCount() { return StationsSection(QStringLiteral("KVTStations"))->GetInt(QStringLiteral("Count"), -99, 0); }

    static void SetDeviceText(const values::ValueDescriptor& descriptor, const QString& text)
    {
        values::Tree::Instance()->CreateValue<values::Value<QString>>(QStringLiteral("/KVTServer") + descriptor.PathName(), text);
    }

    // Resolves "dfhost" only, and records what it was asked.
    void UseTestResolver()
    {
        OmekOS::SetResolver([this](const QString& host, QString& resolved) {
            m_lstResolved << host;
            if (host != QLatin1String("dfhost"))
                return 1;
            resolved = QStringLiteral("10.0.0.7");
            return 0;
        });
    }

    QStringList m_lstResolved;
};

TEST_F(StationCfgTest, FindsEntriesByExactAddressAndAppendsNewOnes)
{
    EXPECT_EQ(Station(QStringLiteral("A"), false), nullptr);
    Station(QStringLiteral("A"), true)->SetString(QStringLiteral("Mark"), QStringLiteral("entry A"), 0);
    ASSERT_NE(Station(QStringLiteral("B"), true), nullptr);
    ASSERT_NE(Station(QString(), true), nullptr);

    EXPECT_EQ(StoredCount(), 3);
    EXPECT_EQ(EntryAddress(0), QStringLiteral("A"));
    EXPECT_EQ(EntryAddress(1), QStringLiteral("B"));
    EXPECT_EQ(EntryAddress(2), QStringLiteral("Default"));

    EXPECT_EQ(Station(QStringLiteral("A"), true)->GetString(QStringLiteral("Mark"), QString(), 0), QStringLiteral("entry A"));
    EXPECT_NE(Station(QStringLiteral("Default"), false), nullptr);
    EXPECT_EQ(Station(QStringLiteral("a"), false), nullptr);
    EXPECT_EQ(StoredCount(), 3);
}

TEST_F(StationCfgTest, NewEntryFollowsTheStoredCount)
{
    StationsSection(QStringLiteral("KVTStations"))->SetInt(QStringLiteral("Count"), 2, 0);
    StationsSection(QStringLiteral("KVTStations/KVTStation0"))->SetString(QStringLiteral("DeviceAddress"), QStringLiteral("x"), 0);
    StationsSection(QStringLiteral("KVTStations/KVTStation1"))->SetString(QStringLiteral("DeviceAddress"), QStringLiteral("y"), 0);

    ASSERT_NE(Station(QStringLiteral("z"), true), nullptr);
    EXPECT_EQ(EntryAddress(2), QStringLiteral("z"));
    EXPECT_EQ(StoredCount(), 3);
    ASSERT_NE(Station(QStringLiteral("z"), true), nullptr);
    EXPECT_EQ(StoredCount(), 3);
}

// A count that does not fit the entries (hand-edited or damaged) neither
// hangs the search nor overflows; the new entry fills the first gap.
TEST_F(StationCfgTest, DamagedCountIsRepairedOnCreation)
{
    for (int nCount : {-5, 0x7fffffff})
    {
        StationsSection(QStringLiteral("KVTStations"))->SetInt(QStringLiteral("Count"), nCount, 0);
        EXPECT_EQ(Station(QStringLiteral("A"), false), nullptr);
        ASSERT_NE(Station(QStringLiteral("A"), true), nullptr);
        EXPECT_EQ(EntryAddress(0), QStringLiteral("A"));
        EXPECT_EQ(StoredCount(), 1);
        StationsSection(QStringLiteral("KVTStations/KVTStation0"))->RemoveKey(QStringLiteral("DeviceAddress"));
    }
    StationsSection(QStringLiteral("KVTStations"))->SetString(QStringLiteral("Count"), QStringLiteral("abc"), 0);
    EXPECT_EQ(Station(QStringLiteral("A"), false), nullptr);
}

TEST_F(StationCfgTest, AddressKeepsThePortAndResolvesTheHostPart)
{
    UseTestResolver();
    EXPECT_EQ(StationCfg::GetStationAddress(), QStringLiteral("Default"));

    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, QStringLiteral("dfhost:5555"));
    EXPECT_EQ(StationCfg::GetStationAddress(), QStringLiteral("10.0.0.7:5555"));

    values::Tree::Instance()->Clear();
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, QStringLiteral("nohost:80:90"));
    EXPECT_EQ(StationCfg::GetStationAddress(), QStringLiteral("nohost:80:90"));
    EXPECT_EQ(m_lstResolved, (QStringList{QStringLiteral("Default"), QStringLiteral("dfhost"), QStringLiteral("nohost")}));
}

TEST_F(StationCfgTest, AddressResolvesWithTheSystemResolver)
{
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, QStringLiteral("localhost:4711"));
    const QString strAddress = StationCfg::GetStationAddress();
    EXPECT_TRUE(strAddress == QLatin1String("127.0.0.1:4711") || strAddress == QLatin1String("::1:4711"))
        << strAddress.toStdString();
}

TEST_F(StationCfgTest, NameFallsBackToDefault)
{
    EXPECT_EQ(StationCfg::GetStationName(), QStringLiteral("Default"));
    SetDeviceText(StdDeviceDefinition::g_vdDevName, QString());
    EXPECT_EQ(StationCfg::GetStationName(), QStringLiteral("Default"));

    values::Tree::Instance()->Clear();
    values::Tree::Instance()->CreateValue<values::Value<int>>(QStringLiteral("/KVTServer") +
                                                              StdDeviceDefinition::g_vdDevName.PathName());
    EXPECT_EQ(StationCfg::GetStationName(), QStringLiteral("Default"));
    EXPECT_TRUE(Traced(QStringLiteral("pValue")));

    values::Tree::Instance()->Clear();
    SetDeviceText(StdDeviceDefinition::g_vdDevName, QStringLiteral("DF north"));
    EXPECT_EQ(StationCfg::GetStationName(), QStringLiteral("DF north"));
}

}
