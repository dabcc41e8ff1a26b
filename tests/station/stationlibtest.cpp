#include "base/accountedoutput.h"
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "contract/bearingrecord.h"
#include "devicecontrol/directionfinder/kvtcommon/driverpassthroughrecords.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "simulation/simulatedstationdefaults.h"
#include "station/acceptedblock.h"
#include "station/station.h"
#include "station/stationbuilder.h"
#include "station/stationsummary.h"
#include "tests/common/configdirfixture.h"
#include "tests/output/ptypair.h"
#include "valueframework/valueclasses/bearing.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString STATION = QStringLiteral("Lib");
const quint64 START_MS = 1700000000000;

/// A sink of the host's own that keeps what it is given.
class RecordingSink : public AccountedOutput, public kvt::BearingSink
{
public:
    explicit RecordingSink(std::vector<kvt::BearingRecord>& rTaken)
        : AccountedOutput(QStringLiteral("recorder"))
        , m_rTaken(rTaken)
    {
        MarkOpen();
    }
    void Take(const kvt::AcceptedBlock& block) override
    {
        Offer(block.lstBearings.size());
        m_rTaken.insert(m_rTaken.end(), block.lstBearings.begin(), block.lstBearings.end());
        Deliver(block.lstBearings.size());
    }
    void Stop() override {}
    std::vector<AccountedOutput*> GetOutputs() override { return {this}; }

private:
    std::vector<kvt::BearingRecord>& m_rTaken;
};

/// The station runtime around a scripted driver, in-process: the station up
/// from a fresh configuration, blocks of fixed-frequency bearings reported
/// straight to the station's callback.
class StationLibTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        ASSERT_TRUE(m_output.isValid());
        // The command log writes below the current directory.
        m_strPreviousDir = QDir::currentPath();
        QDir::setCurrent(m_output.path());
        values::Tree::Instance()->Clear();
        StationBuilder builder(STATION);
        QString error;
        builder.EnsureStation(error);
        ASSERT_TRUE(builder.Load(QString(), false, QString(), error)) << error.toStdString();
        KVTInformationCenter::Instance()->GetKVTCharacteristics().SetBase_ValuePath(StationBuilder::DEVICE_PATH, true);
    }

    void TearDown() override
    {
        m_pStation.reset();
        KVTInformationCenter::Finalise();
        KVTOptions::Finalise();
        values::Tree::Instance()->Clear();
        QDir::setCurrent(m_strPreviousDir);
        ConfigDirFixture::TearDown();
    }

    static ICfg& Cfg() { return CfgCenter::GetAppCfg(ICfg::Application); }

    void Open(const QString& serialAddress = QString())
    {
        kvt::Station::Options options;
        options.strDevicePath = StationBuilder::DEVICE_PATH;
        options.strStationAddress = STATION;
        options.strOutputDir = m_output.path();
        options.strSerialAddress = serialAddress;
        options.place.status.strName = QStringLiteral("lib");
        options.place.status.fLatitude = 54.3233;
        options.place.status.fLongitude = 10.1228;
        options.lstAcceptedSectors = {{0.0, 360.0}};
        options.bBearingFile = true;
        options.defaults = SimulatedStationDefaults::Get();
        m_pStation = std::make_unique<kvt::Station>(options, [this] { return m_nClockMs; });
        m_pStation->AddSink(std::make_unique<RecordingSink>(m_lstTaken));
        m_pStation->StartOutputs(false);
    }

    /// One block of three bearings at the clock's next 100 ms, at 90°, 180°
    /// and 270°; the last has no quality, nor the others with bKeepNothing.
    void Report(bool bScan = false, bool bKeepNothing = false)
    {
        m_nClockMs += 100;
        const qint16 nQuality = bKeepNothing ? 0 : 80;
        values::Bearing bearings[3] = {{156.8e6, 2000, 900, 50, nQuality}, {156.8e6, 2000, 1800, 50, nQuality},
                                       {156.8e6, 2000, 2700, 50, 0}};
        NxKVTCommon::StatusStruct status;
        quint64 nTimeStamp = m_nClockMs;
        if (bScan)
            m_pStation->GetCallback().fillScanBuffer(0, nTimeStamp, 0, 3, bearings, status);
        else
            m_pStation->GetCallback().fillTDMABuffer(0, nTimeStamp, 0, 3, bearings, status);
    }

    template <class T>
    static T* DeviceTreeValue(const values::ValueDescriptor& descriptor)
    {
        return values::Tree::Instance()->Find<T>(StationBuilder::DEVICE_PATH + descriptor.PathName());
    }

    static int Lines(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : -1;
    }

    QTemporaryDir m_output;
    QString m_strPreviousDir;
    quint64 m_nClockMs = START_MS;
    std::vector<kvt::BearingRecord> m_lstTaken;
    std::unique_ptr<kvt::Station> m_pStation;
};

TEST_F(StationLibTest, EveryAcceptedBearingReachesEachOutputOnceStampedAndEveryAccountAddsUp)
{
    Open();
    // Per block: its accepted bearings, and how many the host's sink holds by then.
    std::vector<std::pair<size_t, size_t>> lstBlocks;
    QObject::connect(m_pStation.get(), &kvt::Station::BearingsAccepted,
                     [this, &lstBlocks](const std::vector<values::BearingResult>& results) {
                         lstBlocks.emplace_back(results.size(), m_lstTaken.size());
                     });
    for (int i = 0; i < 4; ++i)
        Report();
    const StationSummary& stopped = m_pStation->Stop();
    const QJsonObject summary = stopped.ToJson();

    EXPECT_EQ(m_pStation->GetCallback().GetAccepted(), 8u);
    EXPECT_EQ(lstBlocks, (std::vector<std::pair<size_t, size_t>>{{2, 2}, {2, 4}, {2, 6}, {2, 8}}))
        << "once per block, after the sinks";
    ASSERT_EQ(m_lstTaken.size(), 8u);
    for (size_t i = 0; i < m_lstTaken.size(); ++i) {
        EXPECT_EQ(m_lstTaken[i].nSeq, static_cast<qint64>(i + 1));
        EXPECT_EQ(m_lstTaken[i].nTimeMs, static_cast<qint64>(START_MS + 100 * (i / 2 + 1)));
        EXPECT_EQ(m_lstTaken[i].strStation, QStringLiteral("lib"));
    }
    QStringList names;
    for (const QJsonValue entry : summary["deliveries"].toArray()) {
        names << entry["name"].toString();
        EXPECT_EQ(entry["offered"].toInt(), 8) << entry["name"].toString().toStdString();
        EXPECT_EQ(entry["delivered"].toInt(), 8) << entry["name"].toString().toStdString();
    }
    EXPECT_EQ(names, (QStringList{"file", "bearings", "recorder"})) << "the station's outputs first, then the host's";
    EXPECT_EQ(Lines(QDir(m_output.path()).filePath(kvt::Station::BEARING_FILE)), 8);
    EXPECT_EQ(summary["bearings"]["rejected"]["noQuality"].toInt(), 4);
    EXPECT_EQ(stopped.ExitCode(), StationSummary::EXIT_DELIVERED);
    EXPECT_EQ(m_pStation->Stop().ToJson(), summary) << "a second stop changes nothing";
}

// The publication into the value tree is the first sink: a scan's list
// replaces the last one there, whole, also when the scan kept nothing, and
// the DF data output that observes the tree is behind it.
TEST_F(StationLibTest, AScanReplacesTheListInTheTreeAndReachesEverySinkOnce)
{
    Open();
    auto* pList = DeviceTreeValue<values::ValueList<values::BearingResult>>(StdDeviceDefinition::g_vdAzimuthList);
    auto* pAzimuth = DeviceTreeValue<values::Value<values::BearingResult>>(StdDeviceDefinition::g_vdAzimuth);
    ASSERT_NE(pList, nullptr);
    ASSERT_NE(pAzimuth, nullptr);
    Report(true);
    ASSERT_EQ(pList->Size(), 2);
    EXPECT_EQ(pList->At(1).GetAzimuth(), 1800);
    EXPECT_EQ(pAzimuth->GetValue().GetAzimuth(), 1800) << "the scan's last bearing stands for it";
    Report(true, true);
    EXPECT_EQ(pList->Size(), 0);
    Report();
    EXPECT_EQ(pAzimuth->GetValue().GetAzimuth(), 1800);
    EXPECT_EQ(pAzimuth->GetValue().GetTimeStamp(), START_MS + 300);

    const StationSummary& stopped = m_pStation->Stop();
    EXPECT_EQ(m_lstTaken.size(), 4u);
    ASSERT_EQ(stopped.lstDeliveries.size(), 3u);
    EXPECT_EQ(stopped.lstDeliveries[1].account.GetOffered(), 4u) << "bearings";
    EXPECT_EQ(stopped.lstDeliveries[2].account.GetOffered(), 4u) << "recorder";
    // Outside a running scan the DF data output writes the azimuth that announces the block.
    EXPECT_EQ(stopped.nSentencesWritten, 1u + 2u);
}

// The serial line of a command line (--serial) is this run's: the stored
// choice is back once the station is gone, also in the file.
TEST_F(StationLibTest, ASerialLineGivenForTheRunIsNeverStored)
{
    Cfg().SetString("RS232Output_Address", "COM3:4800,n,8,1", 0);
    Cfg().SetBool("RS232Output_Enabled", false, 0);
    const QString runLine = m_dir.filePath("ttyRun") + ":9600,n,8,1";
    Open(runLine);
    EXPECT_EQ(m_pStation->GetOutputs()[1]->GetName(), QStringLiteral("serial"));
    Report();
    m_pStation.reset();

    EXPECT_EQ(Cfg().GetString("RS232Output_Address", QString(), 0), QStringLiteral("COM3:4800,n,8,1"));
    EXPECT_FALSE(Cfg().GetBool("RS232Output_Enabled", true, 0));
    EXPECT_FALSE(Cfg().Contains("FileOutput_Address")) << "a key that was not stored stays away";
    ASSERT_TRUE(CfgCenter::Flush());
    QDirIterator files(m_dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("ttyRun")) << file.fileName().toStdString();
    }
}

// The far end hangs up between two blocks: what reached it is delivered, the
// rest is lost with the line's reason; in-process, nothing runs in between.
TEST_F(StationLibTest, ASerialLineThatGoesAwayLosesTheRestAndSaysWhy)
{
    PtyPair pty;
    ASSERT_TRUE(pty.IsValid());
    Open(pty.SlaveName() + ":9600,n,8,1");
    AccountedOutput& serial = *m_pStation->GetOutputs()[1];
    QSignalSpy failures(&serial, &AccountedOutput::FailureReported);
    ASSERT_TRUE(QTest::qWaitFor([&] { return serial.HasBeenOpen(); }));
    Report();
    QByteArray received;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        received += pty.ReadMaster(0);
        return serial.GetAccount().GetDelivered() == 2 && received.count("\r\n") == 2;
    }));
    pty.CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.isEmpty(); }));
    Report();
    const StationSummary& stopped = m_pStation->Stop(0);

    ASSERT_EQ(stopped.lstDeliveries.size(), 4u) << "file, serial, bearings, recorder";
    const StationSummary::Delivery& line = stopped.lstDeliveries[1];
    EXPECT_EQ(line.strName, QStringLiteral("serial"));
    EXPECT_EQ(line.account.GetDelivered(), 2u);
    EXPECT_EQ(line.account.GetLost(), 2u);
    EXPECT_EQ(line.account.GetPending(), 0u);
    EXPECT_TRUE(line.account.GetLastFailure().startsWith("The line is down: "))
        << line.account.GetLastFailure().toStdString();
    EXPECT_EQ(line.eFailure, AccountedOutput::Failure::Disconnected);
    EXPECT_EQ(stopped.ExitCode(), StationSummary::EXIT_LOSSES);
}

}
