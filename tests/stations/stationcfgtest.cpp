#include "stationsfixture.h"

#include "base/iobserver.h"
#include "base/omekos.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
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
        KVTOptions::Finalise();
        StationsFixture::TearDown();
    }

    static std::unique_ptr<ICfg> Station(const QString& address, bool bCreate)
    {
        return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(address, bCreate));
    }

    // "Count", then the address of every entry up to the count (at most 4).
    static QStringList Stations()
    {
        const int nCount = Section(QStringLiteral("KVTStations"))->GetInt(QStringLiteral("Count"), -99, 0);
        QStringList lstResult{QString::number(nCount)};
        for (int i = 0; i < std::min(nCount, 4); ++i)
            lstResult << Section(QStringLiteral("KVTStations/KVTStation%1").arg(i))
                             ->GetString(QStringLiteral("DeviceAddress"), QString(), 0);
        return lstResult;
    }

    static void SetDeviceText(const values::ValueDescriptor& descriptor, const QString& text)
    {
        values::Tree::Instance()->Clear();
        values::Tree::Instance()->CreateValue<values::Value<QString>>(QStringLiteral("/KVTServer") + descriptor.PathName(), text);
    }
};

TEST_F(StationCfgTest, FindsEntriesByExactAddressAndAppendsNewOnes)
{
    EXPECT_EQ(Station(QStringLiteral("A"), false), nullptr);
    Station(QStringLiteral("A"), true)->SetString(QStringLiteral("Mark"), QStringLiteral("entry A"), 0);
    Station(QStringLiteral("B"), true);
    Station(QString(), true);
    EXPECT_EQ(Stations(), (QStringList{"3", "A", "B", "Default"}));
    EXPECT_EQ(Station(QStringLiteral("A"), true)->GetString(QStringLiteral("Mark"), QString(), 0), QStringLiteral("entry A"));
    EXPECT_NE(Station(QStringLiteral("Default"), false), nullptr);
    EXPECT_EQ(Station(QStringLiteral("a"), false), nullptr);
    EXPECT_EQ(Stations().first(), QStringLiteral("3"));

    // A count that does not fit the entries neither hangs the search nor
    // overflows; a new entry fills the first gap and repairs the count.
    for (const char* count : {"-5", "2147483647", "abc"})
    {
        Section(QStringLiteral("KVTStations"))->SetString(QStringLiteral("Count"), QString::fromLatin1(count), 0);
        Section(QStringLiteral("KVTStations/KVTStation0"))->RemoveKey(QStringLiteral("DeviceAddress"));
        EXPECT_EQ(Station(QStringLiteral("C"), false), nullptr);
        Station(QStringLiteral("C"), true);
        EXPECT_EQ(Stations(), (QStringList{"1", "C"})) << count;
    }
}

TEST_F(StationCfgTest, AddressKeepsTheSuffixAndResolvesTheHostPart)
{
    QStringList lstAsked;
    OmekOS::SetResolver([&lstAsked](const QString& host, QString& resolved) {
        lstAsked << host;
        resolved = QStringLiteral("10.0.0.7");
        return host == QLatin1String("dfhost") ? 0 : 1;
    });
    EXPECT_EQ(StationCfg::GetStationAddress(), QStringLiteral("Default"));
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, QStringLiteral("dfhost:5555"));
    EXPECT_EQ(StationCfg::GetStationAddress(), QStringLiteral("10.0.0.7:5555"));
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, QStringLiteral("nohost:80:90"));
    EXPECT_EQ(StationCfg::GetStationAddress(), QStringLiteral("nohost:80:90"));
    EXPECT_EQ(lstAsked, (QStringList{"Default", "dfhost", "nohost"}));

    OmekOS::SetResolver(nullptr);
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, QStringLiteral("localhost:4711"));
    const QString strAddress = StationCfg::GetStationAddress();
    EXPECT_TRUE(strAddress == QLatin1String("127.0.0.1:4711") || strAddress == QLatin1String("::1:4711"));

    EXPECT_EQ(StationCfg::GetStationName(), QStringLiteral("Default"));
    SetDeviceText(StdDeviceDefinition::g_vdDevName, QStringLiteral("DF north"));
    EXPECT_EQ(StationCfg::GetStationName(), QStringLiteral("DF north"));
}

TEST_F(StationCfgTest, OptionParsingStopsAfterTheFirstUnknownPiece)
{
    const char* const aCases[][3] = {
        {"KVTN-HF;KVT-CL", "1", "KVT-CL;KVTN-HF"},
        {"KVTU-HBW;KVTN-HBW;KVTU-HF;KVTU-HFR", "1", "KVT-HFR;KVTN-HF;KVTN-HBW;KVTN-HBW"},
        {"KVT-CL;XYZ;KVT-LF", "0", "KVT-CL"},
        {"KVT-CL;;KVT-LF", "0", "KVT-CL"},
        {"KVT-CL;", "0", "KVT-CL"},
        {"", "0", ""},
        {" KVT-CL", "0", ""},
        {"kvt-cl", "0", ""},
    };
    KVTOptions& rOptions = *KVTOptions::Instance();
    for (const auto& c : aCases)
    {
        rOptions.ClearAllOptions();
        EXPECT_EQ(rOptions.AddOptionsFromString(QString::fromLatin1(c[0])), c[1][0] == '1') << c[0];
        EXPECT_EQ(rOptions.GetOptionsAsString(), QString::fromLatin1(c[2])) << c[0];
    }
    EXPECT_TRUE(rOptions.HasOption(eOptNone));
    rOptions.AddOption(eOptN_HBW);
    rOptions.AddOptionByName(QStringLiteral("KVTU-HBW"));
    EXPECT_EQ(rOptions.GetOptionCount(eOptN_HBW), 2);
    rOptions.RemoveOption(eOptN_HBW);
    EXPECT_FALSE(rOptions.HasOption(eOptN_HBW));
}

class CountingObserver : public IObserver
{
public:
    void Update(Observable*, TChangeCode) override { ++m_nCalls; }
    int m_nCalls = 0;
};

TEST_F(StationCfgTest, OptionsMoveThroughTheValueTreeAndIntoTheStation)
{
    const QString strPath = QStringLiteral("/KVTServer/DevAttr/Options");
    KVTOptions& rOptions = *KVTOptions::Instance();
    rOptions.AddOption(eOptDR);
    values::Tree::Instance()->CreateValue<values::Value<int>>(strPath);
    EXPECT_FALSE(rOptions.ReadFromValueTree(strPath));
    EXPECT_FALSE(rOptions.WriteToValueTree(strPath, nullptr));
    EXPECT_EQ(rOptions.GetOptionsAsString(), QStringLiteral("KVT-DR"));

    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, QStringLiteral("10.1.2.3:5000"));
    auto* pValue = values::Tree::Instance()->CreateValue<values::Value<QString>>(strPath, QStringLiteral("KVTU-HF;KVTQ-MC"));
    EXPECT_TRUE(rOptions.ReadFromValueTree(strPath));
    rOptions.AddOption(eOptCL);
    CountingObserver sender;
    CountingObserver other;
    pValue->AddObserver(&sender);
    pValue->AddObserver(&other);
    EXPECT_TRUE(rOptions.WriteToValueTree(strPath, &sender));
    pValue->DeleteObservers();
    EXPECT_EQ(pValue->GetValue(), QStringLiteral("KVT-CL;KVTN-HF;KVTQ-MC"));
    EXPECT_EQ(sender.m_nCalls, 0);
    EXPECT_EQ(other.m_nCalls, 1);

    EXPECT_TRUE(rOptions.WriteToCfg());
    EXPECT_EQ(Station(QStringLiteral("10.1.2.3:5000"), false)->GetString(QStringLiteral("DevOptions"), QString(), 0),
              QStringLiteral("KVT-CL;KVTN-HF;KVTQ-MC"));
}

}
