#include "stationsfixture.h"

#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"

namespace
{

class StationCfgTest : public StationsFixture, public IObserver
{
protected:
    void Update(Observable*, TChangeCode) override { ++m_nUpdates; }

    static std::unique_ptr<ICfg> Station(const QString& address, bool bCreate)
    {
        return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(address, bCreate));
    }

    // "Count", then the address of every entry up to the count (at most 4).
    static QStringList Stations()
    {
        const int nCount = Section("KVTStations")->GetInt("Count", -99, 0);
        QStringList lstResult{QString::number(nCount)};
        for (int i = 0; i < std::min(nCount, 4); ++i)
            lstResult << Section(QStringLiteral("KVTStations/KVTStation%1").arg(i))->GetString("DeviceAddress", QString(), 0);
        return lstResult;
    }

    static void SetDeviceText(const values::ValueDescriptor& descriptor, const QString& text)
    {
        Tree().Clear();
        Tree().CreateValue<values::Value<QString>>("/KVTServer" + descriptor.PathName(), text);
    }

    int m_nUpdates = 0;
};

TEST_F(StationCfgTest, FindsEntriesByExactAddressAndAppendsNewOnes)
{
    EXPECT_EQ(Station("A", false), nullptr);
    Station("A", true)->SetString("Mark", "entry A", 0);
    Station("B", true);
    Station(QString(), true);
    EXPECT_EQ(Stations(), (QStringList{"3", "A", "B", "Default"}));
    EXPECT_EQ(Station("A", true)->GetString("Mark", QString(), 0), "entry A");
    EXPECT_EQ(Station("a", false), nullptr);
    EXPECT_EQ(Stations().first(), "3");

    // A count that does not fit the entries neither hangs the search nor
    // overflows; a new entry fills the first gap and repairs the count.
    for (const char* count : {"-5", "2147483647", "abc"})
    {
        Section("KVTStations")->SetString("Count", count, 0);
        Section("KVTStations/KVTStation0")->RemoveKey("DeviceAddress");
        EXPECT_EQ(Station("C", false), nullptr);
        Station("C", true);
        EXPECT_EQ(Stations(), (QStringList{"1", "C"})) << count;
    }
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
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, "nohost:80:90");
    EXPECT_EQ(StationCfg::GetStationAddress(), "nohost:80:90");

    OmekOS::SetResolver(nullptr);
    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, "localhost:4711");
    EXPECT_TRUE(QStringList({"127.0.0.1:4711", "::1:4711"}).contains(StationCfg::GetStationAddress()));
    SetDeviceText(StdDeviceDefinition::g_vdDevName, "DF north");
    EXPECT_EQ(StationCfg::GetStationName(), "DF north");
}

TEST_F(StationCfgTest, OptionParsingStopsAfterTheFirstUnknownPiece)
{
    // {text, accepted, resulting options in table order}; aliases count towards their option.
    const char* const aCases[][3] = {
        {"KVTN-HF;KVT-CL", "1", "KVT-CL;KVTN-HF"}, {"KVTU-HBW;KVTN-HBW;KVTU-HF;KVTU-HFR", "1", "KVT-HFR;KVTN-HF;KVTN-HBW;KVTN-HBW"},
        {"KVT-CL;XYZ;KVT-LF", "0", "KVT-CL"}, {"KVT-CL;;KVT-LF", "0", "KVT-CL"}, {"KVT-CL;", "0", "KVT-CL"},
        {"", "0", ""}, {" KVT-CL", "0", ""}, {"kvt-cl", "0", ""}};
    KVTOptions& rOptions = *KVTOptions::Instance();
    for (const auto& c : aCases)
    {
        rOptions.ClearAllOptions();
        EXPECT_EQ(rOptions.AddOptionsFromString(c[0]), c[1][0] == '1') << c[0];
        EXPECT_EQ(rOptions.GetOptionsAsString(), c[2]) << c[0];
    }
    rOptions.AddOptionsFromString("KVTU-HBW;KVTN-HBW");
    rOptions.RemoveOption(eOptN_HBW);
    EXPECT_FALSE(rOptions.HasOption(eOptN_HBW)) << "removal drops every count";
}

TEST_F(StationCfgTest, OptionsMoveThroughTheValueTreeAndIntoTheStation)
{
    const QString strPath = "/KVTServer/DevAttr/Options";
    KVTOptions& rOptions = *KVTOptions::Instance();
    rOptions.AddOption(eOptDR);
    Tree().CreateValue<values::Value<int>>(strPath);
    EXPECT_FALSE(rOptions.ReadFromValueTree(strPath)) << "not a text value";
    EXPECT_FALSE(rOptions.WriteToValueTree(strPath, nullptr));
    EXPECT_EQ(rOptions.GetOptionsAsString(), "KVT-DR");

    SetDeviceText(StdDeviceDefinition::g_vdDevAddress, "10.1.2.3:5000");
    auto* pValue = Tree().CreateValue<values::Value<QString>>(strPath, "KVTU-HF;KVTQ-MC");
    EXPECT_TRUE(rOptions.ReadFromValueTree(strPath));
    rOptions.AddOption(eOptCL);
    pValue->AddObserver(this);
    EXPECT_TRUE(rOptions.WriteToValueTree(strPath, this));
    pValue->DeleteObserver(this);
    EXPECT_EQ(pValue->GetValue(), "KVT-CL;KVTN-HF;KVTQ-MC");
    EXPECT_EQ(m_nUpdates, 0) << "the writer is not told of its own change";
    EXPECT_TRUE(rOptions.WriteToCfg());
    EXPECT_EQ(Station("10.1.2.3:5000", false)->GetString("DevOptions", QString(), 0), "KVT-CL;KVTN-HF;KVTQ-MC");
}

}
