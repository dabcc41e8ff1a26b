#include "devicecontrol/directionfinder/kvtcommon/dfsettingsparams.h"
#include "devicecontrol/directionfinder/kvtcommon/dfsettingsparamspersistency.h"
#include "devicecontrol/directionfinder/kvtcommon/ohpparamspersistency.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"
#include "devicecontrol/directionfinder/kvtcommon/tcfrequencylistpersistency.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/tracelog.h"
#include "tests/values/valuetestfixture.h"
#include "valueframework/valueclasses/trafficcontrolfrequency.h"
#include "valueframework/valueclasses/valuelist.h"

#include <QDir>
#include <QFile>

#include <limits>
#include <memory>

using namespace NxKVTCommon;

namespace
{

using TCList = values::ValueList<values::TrafficControlFrequency>;
const QString CONFIG = QStringLiteral("DFDriver");

/// A configuration directory of its own, a captured trace sink with traces on, and helpers that
/// read and write sections of the named configuration (view 2) behind the classes' backs.
class FilterSettingsTest : public ConfigDirFixture
{
protected:
    static std::unique_ptr<ICfg> Section(const QString& path)
    {
        const std::unique_ptr<ICfg> pCfg(CfgCenter::CreateCfg(CONFIG, ICfg::Application, QString()));
        return std::unique_ptr<ICfg>(pCfg->GetSubCfg(path, ICfg::Application));
    }
    static std::unique_ptr<ICfg> OverheadPass()
    {
        return std::unique_ptr<ICfg>(CfgCenter::GetAppCfg(ICfg::User).GetSubCfg("OverheadPass", ICfg::User));
    }
    /// "key=value" for every key of the section, sorted by key.
    static QStringList Contents(ICfg& section)
    {
        QStringList lstResult;
        for (const QString& key : section.GetKeys())
            lstResult << key + "=" + section.GetString(key, QString(), 0);
        return lstResult;
    }
    static QString Entry(int index) { return QStringLiteral("TrafficControlFrequencies/TCFrequency_%1").arg(index); }

    TraceLog m_traces{ErrorHandler::TRACE_BIT};
};

TEST_F(FilterSettingsTest, OverheadPassRestoreCreatesMissingKeysAndKeepsStoredOnes)
{
    OverheadPassParams params;
    RecordingObserver observer;
    params.AddObserver(&observer);
    OHPParamsPersistency persistency(params);
    persistency.Restore();
    EXPECT_EQ(Contents(*OverheadPass()), (QStringList{"Threshold=600", "Valid=false"}));
    EXPECT_TRUE(observer.m_lstCalls.empty());

    OverheadPass()->SetInt("Threshold", 0, 0);
    OverheadPass()->SetBool("Valid", true, 0);
    persistency.Restore();
    EXPECT_EQ(params.GetThreshold(), 0);
    EXPECT_TRUE(params.IsValid());
    EXPECT_EQ(observer.m_lstCalls.size(), 2u);

    params.SetThreshold(720, nullptr);
    persistency.MakePersistent();
    EXPECT_EQ(OverheadPass()->GetInt("Threshold", 0, 0), 720);
}

TEST_F(FilterSettingsTest, DFSettingsRoundTripWithDefaultsForMissingKeysOnly)
{
    DFSettingsParams params;
    DFSettingsParamsPersistency persistency(params, CONFIG, ICfg::Application);
    persistency.Restore();
    EXPECT_EQ(Contents(*Section("DFSettings")),
              (QStringList{"DFBandwidthKey=7", "DFModeKey=0", "LevelThreshold=0", "UpdateIntervalKey=4"}));

    Section("DFSettings")->SetInt("DFBandwidthKey", 0, 0);
    Section("DFSettings")->SetInt("DFModeKey", -1, 0);
    Section("DFSettings")->SetString("UpdateIntervalKey", "junk", 0);
    persistency.Restore();
    EXPECT_EQ(params.GetDFBandwidthKey(), 0);
    EXPECT_EQ(params.GetDFModeKey(), -1) << "kept bit for bit";
    EXPECT_EQ(params.GetUpdateIntervalKey(), 4) << "unreadable text counts as missing";

    params.SetLevelThreshold(-3.7);
    persistency.MakePersistent();
    params.SetLevelThreshold(0.0);
    persistency.Restore();
    EXPECT_EQ(params.GetLevelThreshold(), -3.0);
    for (double fUnfit : {3e9, std::numeric_limits<double>::quiet_NaN()})
    {
        params.SetLevelThreshold(fUnfit);
        persistency.MakePersistent();
        EXPECT_EQ(Section("DFSettings")->GetInt("LevelThreshold", 99, 0), -3) << "refused, the stored one stays";
    }
    EXPECT_EQ(m_traces.Count("WARNING: DFSettingsParamsPersistency::MakePersistent(): level threshold"), 2);
}

// Frequencies are truncated; one that does not fit is refused and the later entries move up.
TEST_F(FilterSettingsTest, TCFrequenciesRoundTripWithoutThoseThatDoNotFit)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TCList list;
    for (const values::TrafficControlFrequency& entry : std::vector<values::TrafficControlFrequency>{
             {100.9, 11, true}, {3e9, 12, false}, {1.2e8, 4000000000u, false}, {nan, 1, false}, {-2147483648.5, 13, true}})
        list.PushBack(entry);
    TCFrequencyListPersistency persistency(&list, CONFIG, ICfg::Application);
    persistency.MakePersistent();
    EXPECT_EQ(Contents(*Section("TrafficControlFrequencies")), QStringList{"TCFrequencyCount=3"});
    EXPECT_EQ(Contents(*Section(Entry(0))), (QStringList{"Alarm=1", "ChannelID=11", "Frequency=100"}));
    EXPECT_EQ(m_traces.Count("WARNING: TCFrequencyListPersistency::MakePersistent(): frequency"), 2);
    EXPECT_TRUE(m_traces.Contains("frequency 3000000000 Hz of channel 12"));

    RecordingObserver observer;
    TCList restored;
    restored.PushBack({5.0, 5, false});
    restored.AddObserver(&observer);
    TCFrequencyListPersistency(&restored, CONFIG, ICfg::Application).Restore();
    EXPECT_EQ(restored.GetItems(), (std::vector<values::TrafficControlFrequency>{
                                       {100.0, 11, true}, {1.2e8, 4000000000u, false}, {-2147483648.0, 13, true}}));
    EXPECT_EQ(observer.m_lstCalls, (std::vector<std::pair<Observable*, TChangeCode>>{{&restored, 7}}));

    // A shorter list afterwards leaves the old entries behind the count alone, and they are not read.
    list.RemoveAt(0);
    list.RemoveAt(0);
    persistency.MakePersistent();
    EXPECT_EQ(Section(Entry(2))->GetInt("Frequency", 0, 0), -2147483648);
    persistency.Restore();
    EXPECT_EQ(list.GetItems(),
              (std::vector<values::TrafficControlFrequency>{{1.2e8, 4000000000u, false}, {-2147483648.0, 13, true}}));
}

TEST_F(FilterSettingsTest, TCRestoreSkipsMissingEntriesAndKeepsTheListWithoutCount)
{
    TCFrequencyListPersistency withoutList(nullptr, CONFIG, ICfg::Application);
    withoutList.MakePersistent();
    withoutList.Restore();
    const std::unique_ptr<ICfg> pCfg(CfgCenter::CreateCfg(CONFIG, ICfg::Application, QString()));
    EXPECT_FALSE(QFile::exists(pCfg->GetFileName())) << "no list: the configuration stays untouched";

    RecordingObserver observer;
    TCList list;
    list.PushBack({7e7, 7, true});
    TCFrequencyListPersistency persistency(&list, CONFIG, ICfg::Application);
    persistency.Restore();
    EXPECT_EQ(Section("TrafficControlFrequencies")->GetInt("TCFrequencyCount", 99, 0), 0);
    EXPECT_EQ(list.Size(), 1) << "nothing stored: the list stays as it was";

    Section("TrafficControlFrequencies")->SetInt("TCFrequencyCount", 100000000, 0);
    Section(Entry(0))->SetInt("Frequency", 1000, 0);
    Section(Entry(2))->SetInt("ChannelID", 2, 0);
    // Sub-sections that are no entry of the count's range by their exact name are not read.
    for (const char* name : {"TCFrequency_02", "TCFrequency_-1", "TCFrequency_x", "TCFrequency_", "Other"})
        Section(QStringLiteral("TrafficControlFrequencies/%1").arg(name))->SetInt("Frequency", 5, 0);
    list.AddObserver(&observer);
    persistency.Restore();
    EXPECT_EQ(list.GetItems(), (std::vector<values::TrafficControlFrequency>{{1000, 0, false}, {0, 2, false}}));
    EXPECT_EQ(observer.m_lstCalls.size(), 1u);
    EXPECT_FALSE(Section("TrafficControlFrequencies")->GetSubCfgNames().contains("TCFrequency_1"));
}

// CfgCenter::CreateCfg gives no configuration for an empty name.
TEST_F(FilterSettingsTest, NamelessConfigurationIsNeitherWrittenNorRead)
{
    DFSettingsParams params;
    params.SetDFModeKey(3);
    DFSettingsParamsPersistency dfSettings(params, QString(), ICfg::Application);
    dfSettings.MakePersistent();
    dfSettings.Restore();
    EXPECT_EQ(params.GetDFModeKey(), 3);

    TCList list;
    list.PushBack({7e7, 7, true});
    TCFrequencyListPersistency frequencies(&list, QString(), ICfg::Application);
    frequencies.MakePersistent();
    frequencies.Restore();
    EXPECT_EQ(list.GetItems(), (std::vector<values::TrafficControlFrequency>{{7e7, 7, true}}));
    CfgCenter::Flush();
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
}

} // namespace
