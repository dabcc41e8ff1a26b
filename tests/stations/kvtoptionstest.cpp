#include "stationsfixture.h"

#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"

namespace
{

const QString OPTIONS_PATH = QStringLiteral("/KVTServer/DevAttr/Options");

class KVTOptionsTest : public StationsFixture
{
protected:
    void SetUp() override
    {
        StationsFixture::SetUp();
        KVTOptions::Finalise();
    }
    void TearDown() override
    {
        KVTOptions::Finalise();
        StationsFixture::TearDown();
    }

    KVTOptions& options() { return *KVTOptions::Instance(); }
};

class CountingObserver : public IObserver
{
public:
    void Update(Observable*, TChangeCode) override { ++m_nCalls; }
    int m_nCalls = 0;
};

TEST_F(KVTOptionsTest, ParsingStopsAfterTheFirstUnknownPiece)
{
    struct Case
    {
        const char* list;
        bool bResult;
        const char* stored;
    };
    const Case aCases[] = {
        {"KVT-CL;KVTN-HF", true, "KVT-CL;KVTN-HF"},
        {"KVTN-HF;KVT-CL", true, "KVT-CL;KVTN-HF"},
        {"KVT-CL;XYZ;KVT-LF", false, "KVT-CL"},
        {"KVT-CL;;KVT-LF", false, "KVT-CL"},
        {"KVT-CL;", false, "KVT-CL"},
        {"", false, ""},
        {" KVT-CL", false, ""},
        {"kvt-cl", false, ""},
    };
    for (const Case& c : aCases)
    {
        options().ClearAllOptions();
        EXPECT_EQ(options().AddOptionsFromString(QString::fromLatin1(c.list)), c.bResult) << c.list;
        EXPECT_EQ(options().GetOptionsAsString(), QString::fromLatin1(c.stored)) << c.list;
    }
}

TEST_F(KVTOptionsTest, AliasesAndRepeatsAreCounted)
{
    EXPECT_TRUE(options().HasOption(eOptNone));
    EXPECT_FALSE(options().HasOption(eOptN_HBW));

    EXPECT_TRUE(options().AddOptionsFromString(QStringLiteral("KVTU-HBW;KVTN-HBW;KVT-CL;KVTU-HF;KVTU-HFR")));
    EXPECT_EQ(options().GetOptionCount(eOptN_HBW), 2);
    EXPECT_EQ(options().GetOptionsAsString(), QStringLiteral("KVT-CL;KVT-HFR;KVTN-HF;KVTN-HBW;KVTN-HBW"));

    options().AddOption(eOptNone);
    options().RemoveOption(eOptN_HBW);
    EXPECT_FALSE(options().HasOption(eOptN_HBW));
    EXPECT_EQ(options().GetOptionCount(eOptN_HBW), 0);
    EXPECT_EQ(options().GetOptionsAsString(), QStringLiteral("KVT-CL;KVT-HFR;KVTN-HF"));

    KVTOptions* pBefore = KVTOptions::Instance();
    const KVTOptions copy(*pBefore);
    KVTOptions::Finalise();
    EXPECT_EQ(KVTOptions::Instance()->GetOptionsAsString(), QString());
    EXPECT_EQ(copy.GetOptionsAsString(), QStringLiteral("KVT-CL;KVT-HFR;KVTN-HF"));
}

TEST_F(KVTOptionsTest, ValueTreeReadReplacesAndWriteSkipsTheSender)
{
    options().AddOption(eOptDR);
    EXPECT_FALSE(options().ReadFromValueTree(OPTIONS_PATH));
    values::Tree::Instance()->CreateValue<values::Value<int>>(OPTIONS_PATH);
    EXPECT_FALSE(options().ReadFromValueTree(OPTIONS_PATH));
    EXPECT_FALSE(options().WriteToValueTree(OPTIONS_PATH, nullptr));
    EXPECT_EQ(options().GetOptionsAsString(), QStringLiteral("KVT-DR"));

    values::Tree::Instance()->Clear();
    auto* pValue = values::Tree::Instance()->CreateValue<values::Value<QString>>(OPTIONS_PATH, QStringLiteral("KVTU-HF;KVTQ-MC"));
    EXPECT_TRUE(options().ReadFromValueTree(OPTIONS_PATH));
    EXPECT_EQ(options().GetOptionsAsString(), QStringLiteral("KVTN-HF;KVTQ-MC"));

    CountingObserver sender;
    CountingObserver other;
    pValue->AddObserver(&sender);
    pValue->AddObserver(&other);
    options().AddOption(eOptCL);
    EXPECT_TRUE(options().WriteToValueTree(OPTIONS_PATH, &sender));
    EXPECT_EQ(pValue->GetValue(), QStringLiteral("KVT-CL;KVTN-HF;KVTQ-MC"));
    EXPECT_EQ(sender.m_nCalls, 0);
    EXPECT_EQ(other.m_nCalls, 1);
    pValue->DeleteObservers();
}

TEST_F(KVTOptionsTest, WritesTheListIntoTheCurrentStation)
{
    values::Tree::Instance()->CreateValue<values::Value<QString>>(
        QStringLiteral("/KVTServer") + StdDeviceDefinition::g_vdDevAddress.PathName(), QStringLiteral("10.1.2.3:5000"));
    ASSERT_TRUE(options().AddOptionsFromString(QStringLiteral("KVTN-REM;KVT-CL")));
    EXPECT_TRUE(options().WriteToCfg());

    const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(QStringLiteral("10.1.2.3:5000"), false));
    ASSERT_NE(pStation, nullptr);
    EXPECT_EQ(pStation->GetString(QStringLiteral("DevOptions"), QString(), 0), QStringLiteral("KVT-CL;KVTN-REM"));
}

}
