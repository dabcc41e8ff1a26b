#include "base/cfgcenter.h"
#include "base/datetime.h"
#include "base/errorhandler.h"
#include "base/icfg.h"
#include "base/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/filecontent.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/qstringprinter.h"
#include "tests/common/timezoneguard.h"
#include "tests/common/tracelog.h"
#include "tests/output/ptypair.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueobservermacros.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QWidget>

#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

namespace
{

using values::Bearing;
using values::BearingResult;
using values::Tree;

const quint64 BEARING_TIME = 1700000000123; // 2023-11-14 22:13:20.123 UTC
const quint64 POSITION_TIME = 1699999999000; // 22:13:19 UTC
const Bearing NORMAL{145500000.0, 4567, 2345, 123, 87};

class TestableOutput : public DFDataOutput
{
public:
    TestableOutput() : DFDataOutput(QStringLiteral("DF output"), 20) {}
};

class DFDataOutputTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        Tree& tree = *Tree::Instance();
        tree.Clear();
        ASSERT_NE(StdDeviceDefinition::StdDeviceTree::Device("/KVTServer"), nullptr);
        for (const char* path : {"/KVTServer/DevAttr/OperationMode", "/KVTServer/Par/Evt/SRStatus"})
        {
            auto* pSelection = tree.Find<values::ValueSelection>(path);
            ASSERT_NE(pSelection, nullptr);
            pSelection->AddItem("Off", 0, 0);
            pSelection->AddItem("On", 1, 1);
        }
        tree.Find<values::ValueNumeric<int>>("/KVTServer/Res/HeaR/TrueHeading")->SetValue(1234);
        tree.Find<values::ValueNumeric<double>>("/KVTServer/Res/PosR/Pitch")->SetValue(1.25);
        tree.Find<values::ValueNumeric<double>>("/KVTServer/Res/PosR/Roll")->SetValue(-2.5);
        tree.Find<values::ValueNumeric<double>>("/KVTServer/Res/PosR/Altitude")->SetValue(123.45);
        tree.Find<values::ValueNumeric<double>>("/KVTServer/Res/PosR/PosLatitude")->SetValue(48.137154);
        tree.Find<values::ValueNumeric<double>>("/KVTServer/Res/PosR/PosLongitude")->SetValue(11.5761249);
        tree.Find<values::Value<qint64>>("/KVTServer/Res/PosR/PosLastUpdate")->SetValue(POSITION_TIME);
        m_strFile = m_dir.filePath("df.txt");
    }

    void TearDown() override
    {
        Tree::Instance()->Clear();
        ConfigDirFixture::TearDown();
    }

    void Configure(bool bSerial, const QString& address, bool bFile, int intervalMs)
    {
        ICfg& rCfg = CfgCenter::GetAppCfg(ICfg::Application);
        rCfg.SetBool("RS232Output_Enabled", bSerial, 0);
        rCfg.SetInt("Output_Interval", intervalMs, 0);
        rCfg.SetString("RS232Output_Address", address, 0);
        rCfg.SetBool("FileOutput_Enabled", bFile, 0);
        rCfg.SetString("FileOutput_Address", m_strFile, 0);
    }

    static void Publish(const Bearing& bearing, quint64 time = BEARING_TIME)
    {
        Tree::Instance()->Find<values::Value<BearingResult>>("/KVTServer/Res/DfR/Azimuth")
            ->SetValue(BearingResult(bearing, time));
    }

    static QByteArray Golden(const char* name) { return ReadFile(QStringLiteral(OUTPUT_GOLDEN_DIR "/") + name); }

    /// What the serial line gets: the file line without its extension.
    static QByteArray Sentence()
    {
        const QByteArray fileLine = Golden("normal.txt");
        return fileLine.left(fileLine.indexOf(",ELV,")) + "\r\n";
    }

    /// Every sentence offered is delivered or lost, none pending.
    static void ExpectBalanced(const AccountedOutput& output)
    {
        const DeliveryAccount& account = output.GetAccount();
        EXPECT_EQ(account.GetPending(), 0u) << output.GetName().toStdString();
        EXPECT_EQ(account.GetOffered(), account.GetDelivered() + account.GetLost()) << output.GetName().toStdString();
    }

    // The golden files hold UTC times.
    const TimeZoneGuard m_zone{"UTC0"};
    TraceLog m_traces;
    QString m_strFile;
};

TEST_F(DFDataOutputTest, EventDrivenFileLinesMatchTheGoldenFiles)
{
    // Any interval below 1 means event-driven output.
    Configure(false, "COM1:9600,e,8,1", true, -5);
    TestableOutput output;
    Tree::Instance()->Find<values::ValueSelection>("/KVTServer/DevAttr/OperationMode")->SetCurrentKey(1);
    const int nForeignTimer = output.startTimer(1);
    QTest::qWait(20);
    output.killTimer(nForeignTimer);

    Publish(Bearing{NORMAL.frequency, NORMAL.level, NORMAL.azimuth, NORMAL.elevation, 0});
    EXPECT_EQ(ReadFile(m_strFile), QByteArray()) << "neither a foreign timer nor a bearing of quality 0 sends";

    // Each further bearing adds the lines of the golden file given, if any.
    QByteArray expected;
    const auto publishAdds = [&](const char* golden) {
        Publish(NORMAL);
        expected += golden != nullptr ? Golden(golden) : QByteArray();
        EXPECT_EQ(ReadFile(m_strFile), expected) << (golden != nullptr ? golden : "no line");
    };
    publishAdds("normal.txt");

    // A state change that is not the end of the value changes nothing.
    Tree::Instance()
        ->Find<values::Value<BearingResult>>("/KVTServer/Res/DfR/Azimuth")
        ->NotifyObservers(ChangeCode::StateChanged, nullptr);
    publishAdds("normal.txt");

    // Values leaving the tree are forgotten, not used.
    Tree::Instance()->RemoveValue("/KVTServer/Res/HeaR/TrueHeading");
    Tree::Instance()->RemoveValue("/KVTServer/Res/PosR/PosLastUpdate");
    publishAdds("missing_heading.txt");

    auto* pList = Tree::Instance()->Find<values::ValueList<BearingResult>>("/KVTServer/Res/DfR/AzimuthList");
    pList->PushBack(BearingResult(Bearing{100000000.0, -1250, 0, 45, 0}, 1));
    pList->PushBack(BearingResult(Bearing{2500000000.0, 9999, 3599, -45, 100}, 2));
    pList->PushBack(BearingResult(Bearing{30000.0, 0, 905, 0, -3}, 3));
    Tree::Instance()->Find<values::ValueSelection>("/KVTServer/Par/Evt/SRStatus")->SetCurrentIndex(1);
    publishAdds("scan_list.txt");

    // An empty scan list writes nothing; without a scan list a scan writes
    // the current bearing.
    pList->Clear();
    publishAdds(nullptr);
    Tree::Instance()->RemoveValue("/KVTServer/Res/DfR/AzimuthList");
    publishAdds("missing_heading.txt");
}

// Timed output sends whatever the bearing's quality, but only while the
// operation mode is on, and stops without one. Values missing when it starts,
// of another type than expected, or leaving the tree while it runs give their
// fields the stand-ins.
TEST_F(DFDataOutputTest, TimedOutputFollowsTheOperationModeAndGivesMissingValuesTheirStandIns)
{
    Tree& tree = *Tree::Instance();
    for (const char* path : {"/KVTServer/Res/PosR/Pitch", "/KVTServer/Res/PosR/Roll", "/KVTServer/Res/PosR/Altitude",
                             "/KVTServer/Par/Evt/SRStatus"})
        ASSERT_TRUE(tree.RemoveValue(path)) << path;
    values::GetOrCreateValue<values::ValueNumeric<int>>("/KVTServer/Res/PosR/Pitch")->SetValue(5);
    Configure(false, "COM1:9600,e,8,1", true, 10);
    TestableOutput output;
    Publish(Bearing{NORMAL.frequency, NORMAL.level, NORMAL.azimuth, NORMAL.elevation, 0});
    QTest::qWait(50);
    EXPECT_EQ(ReadFile(m_strFile), QByteArray()) << "operation mode key 0";

    tree.Find<values::ValueSelection>("/KVTServer/DevAttr/OperationMode")->SetCurrentKey(1);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return ReadFile(m_strFile).endsWith("\r\n"); }));
    EXPECT_EQ(ReadFile(m_strFile).split('\n').at(0) + '\n',
              Golden("invalid_quality.txt").replace("PTC,1.2,RLL,-2.5,ALT,123.5", "PTC,0.0,RLL,0.0,ALT,0.0"));

    for (const char* path : {"/KVTServer/Res/DfR/Azimuth", "/KVTServer/Res/PosR/PosLastUpdate",
                             "/KVTServer/Res/PosR/PosLatitude", "/KVTServer/Res/PosR/PosLongitude"})
        ASSERT_TRUE(tree.RemoveValue(path)) << path;
    const int nLines = ReadFile(m_strFile).count('\n');
    ASSERT_TRUE(QTest::qWaitFor([&]() { return ReadFile(m_strFile).count('\n') > nLines; }));
    EXPECT_EQ(ReadFile(m_strFile).split('\n').at(nLines), "$PLG, -1.0,FRQ,         0,CMP,123.4,QUA,  0.0,LEV, -0.5,TIM,"
                                                       ",ELV,0.0,PTC,0.0,RLL,0.0,ALT,0.0,PTM,"
                                                       ",LAT,  0.00000,LON,0.0000000\r");

    tree.RemoveValue("/KVTServer/DevAttr/OperationMode");
    const QByteArray written = ReadFile(m_strFile);
    QTest::qWait(50);
    EXPECT_EQ(ReadFile(m_strFile), written);
}

// Times are local, also in a zone a quarter of an hour off and across the
// switch to summer time, however seldom the local time is converted.
TEST_F(DFDataOutputTest, BearingTimesAreLocalAcrossMinutesAndClockChanges)
{
    Configure(false, "COM1:9600,e,8,1", true, 0);
    TestableOutput output;
    const quint64 switchTime = 1679792400000; // 2023-03-26 01:00:00 UTC
    const struct
    {
        const char* zone;
        std::vector<quint64> times;
    } cases[] = {
        {"KVT-5:45", {BEARING_TIME, BEARING_TIME + 36000, BEARING_TIME + 37000, BEARING_TIME + 40 * 60000}},
        {"KVT-1KVTS,M3.5.0,M10.5.0/3", {switchTime - 61000, switchTime - 1, switchTime, switchTime + 59999}},
        // Times beyond the year 9999, and those read as before 1970.
        {"KVT-5:45", {253402300799000, std::numeric_limits<qint64>::max(), std::numeric_limits<quint64>::max()}},
    };
    QStringList times;
    QStringList expected;
    for (const auto& oneCase : cases)
    {
        const TimeZoneGuard zone(oneCase.zone);
        for (const quint64 time : oneCase.times)
        {
            Publish(NORMAL, time);
            times << QString::fromLatin1(ReadFile(m_strFile).split('\n').at(times.size()).split(',').at(11));
            expected << Omek::DateTime(time).toString("hhmmss");
        }
    }
    EXPECT_EQ(times, expected);
    EXPECT_EQ(times.mid(4, 4), QStringList({"015859", "015959", "030000", "030059"}));
}

// Numbers are written as printf writes them, however long, and NaN as such.
TEST_F(DFDataOutputTest, OutOfRangeNumbersAreWrittenInFull)
{
    Configure(false, "COM1:9600,e,8,1", true, 0);
    Tree& tree = *Tree::Instance();
    using Limits = std::numeric_limits<double>;
    tree.Find<values::ValueNumeric<double>>("/KVTServer/Res/PosR/Altitude")->SetValue(Limits::lowest());
    tree.Find<values::ValueNumeric<double>>("/KVTServer/Res/PosR/PosLatitude")->SetValue(Limits::quiet_NaN());
    TestableOutput output;
    Publish(Bearing{1e300, NORMAL.level, NORMAL.azimuth, NORMAL.elevation, NORMAL.quality});
    char frequency[400];
    char altitude[400];
    ASSERT_EQ(std::snprintf(frequency, sizeof frequency, "%.0f", 1e300), 301);
    ASSERT_EQ(std::snprintf(altitude, sizeof altitude, "%.1f", Limits::lowest()), 312);
    const QByteArray expected = Golden("normal.txt")
                                    .replace("FRQ, 145500000,", "FRQ," + QByteArray(frequency) + ",")
                                    .replace("ALT,123.5,", "ALT," + QByteArray(altitude) + ",")
                                    .replace("LAT, 48.13715,", "LAT,      nan,");
    EXPECT_EQ(ReadFile(m_strFile).toStdString(), expected.toStdString());
}

// Missing settings are written unlocked; locked ones that cannot be read are
// replaced and unlocked, while readable locked ones stay locked.
TEST_F(DFDataOutputTest, SettingsAreWrittenAndShownAndTheCheckBoxesEnableTheirControls)
{
    ICfg& rCfg = CfgCenter::GetAppCfg(ICfg::Application);
    rCfg.SetString("Output_Interval", "soon", 0);
    rCfg.SetString("RS232Output_Enabled", "maybe", 0);
    rCfg.SetString("FileOutput_Address", m_strFile, 0);
    for (const char* key : {"Output_Interval", "RS232Output_Enabled", "FileOutput_Address"})
        rCfg.SetReadOnly(key, true, 0);

    TestableOutput output;
    EXPECT_FALSE(output.IsEnabled());
    EXPECT_EQ(rCfg.GetString("Output_Interval", "", 0), "0");
    EXPECT_EQ(rCfg.GetString("RS232Output_Enabled", "", 0), "false");
    for (const char* key : {"RS232Output_Enabled", "RS232Output_Address", "Output_Interval", "FileOutput_Enabled"})
        EXPECT_TRUE(rCfg.Contains(key) && !rCfg.IsReadOnly(key)) << key;
    EXPECT_TRUE(rCfg.IsReadOnly("FileOutput_Address"));

    QWidget* pWidget = output.GetConfigWidget();
    ASSERT_NE(pWidget, nullptr);
    const auto checks = pWidget->findChildren<QCheckBox*>();
    const auto edits = pWidget->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    auto* pSpin = pWidget->findChild<QSpinBox*>();
    ASSERT_EQ(checks.size(), 2);
    ASSERT_EQ(edits.size(), 2);
    ASSERT_NE(pSpin, nullptr);
    EXPECT_EQ(edits[0]->text(), "COM1:9600,e,8,1");
    EXPECT_EQ(edits[1]->text(), m_strFile);

    const auto enabled = [&]() {
        return QString("%1%2%3").arg(edits[0]->isEnabled()).arg(edits[1]->isEnabled()).arg(pSpin->isEnabled());
    };
    EXPECT_EQ(enabled(), "000");
    checks[0]->setChecked(true);
    EXPECT_EQ(enabled(), "101");
    checks[1]->setChecked(true);
    checks[0]->setChecked(false);
    EXPECT_EQ(enabled(), "011");

    // A host may take single controls out of the widget; the output then
    // neither applies the widget nor touches the controls that are left.
    delete pSpin;
    checks[0]->setChecked(true);
    EXPECT_FALSE(edits[0]->isEnabled());
    output.SlotUpdateConfiguration();
    EXPECT_FALSE(output.IsEnabled());
}

TEST_F(DFDataOutputTest, OnlyChangedSettingsRestartTheOutputAndRotateTheFile)
{
    Configure(false, "COM1:9600,e,8,1", true, 0);
    // The enable moves the previous file over an older backup.
    for (const QString& name : {m_strFile, m_strFile + ".bak"})
        ASSERT_TRUE(WriteFile(name, name.toUtf8()));
    auto pOutput = std::make_unique<TestableOutput>();
    EXPECT_EQ(ReadFile(m_strFile + ".bak"), m_strFile.toUtf8());
    Publish(NORMAL);
    const QByteArray line = Golden("normal.txt");

    pOutput->SlotUpdateConfiguration();
    Publish(NORMAL);
    EXPECT_EQ(ReadFile(m_strFile), line + line) << "unchanged settings keep the file";
    EXPECT_EQ(ReadFile(m_strFile + ".bak"), m_strFile.toUtf8());

    // Each setting on its own counts as a change.
    QWidget* pWidget = pOutput->GetConfigWidget();
    const QString otherFile = m_dir.filePath("other.txt");
    pWidget->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly).at(1)->setText(otherFile);
    pOutput->SlotUpdateConfiguration();
    Publish(NORMAL);
    EXPECT_EQ(ReadFile(otherFile), line) << "file name";
    EXPECT_EQ(ReadFile(m_strFile), line + line);

    pWidget->findChild<QSpinBox*>()->setValue(500);
    pOutput->SlotUpdateConfiguration();
    EXPECT_TRUE(pOutput->IsEnabled());
    EXPECT_EQ(ReadFile(otherFile + ".bak"), line);
    EXPECT_EQ(ReadFile(otherFile), QByteArray());

    pWidget->findChildren<QCheckBox*>().at(1)->setChecked(false);
    pOutput->SlotUpdateConfiguration();
    EXPECT_FALSE(pOutput->IsEnabled());

    // A dialogue that takes the widget may destroy it; the output then ignores applies.
    auto pDialogue = std::make_unique<QWidget>();
    pWidget->setParent(pDialogue.get());
    pDialogue.reset();
    EXPECT_EQ(pOutput->GetConfigWidget(), nullptr);
    pOutput->SlotUpdateConfiguration();
    pOutput.reset();
    ICfg& rCfg = CfgCenter::GetAppCfg(ICfg::Application);
    EXPECT_EQ(rCfg.GetInt("Output_Interval", 0, 0), 500) << "saved on destruction";
    EXPECT_EQ(rCfg.GetString("FileOutput_Address", "", 0), otherFile);
}

// A file that cannot be opened (its directory is a file; no permissions
// involved, so this holds for root) loses every line and says why. A disk full
// for longer than any write buffer would last, with room for none or part of a
// line, loses those lines whole, none surfacing later in part, and says so
// once. Both are traced, and enabling again starts a good file.
TEST_F(DFDataOutputTest, FileFaultsLoseWholeLinesSayWhyAndTheNextEnableRecovers)
{
    ASSERT_TRUE(WriteFile(m_dir.filePath("blocker"), QByteArray()));
    const QString goodFile = m_strFile;
    m_strFile = m_dir.filePath("blocker/df.txt");
    Configure(false, "COM1:9600,e,8,1", true, 0);
    for (const unsigned nMask : {0u, ErrorHandler::TRACE_BIT})
    {
        ErrorHandler::Instance().SetTraceMask(nMask);
        TestableOutput blocked;
        Publish(NORMAL);
        const AccountedOutput& file = blocked.GetFileOutput();
        EXPECT_FALSE(file.HasBeenOpen());
        EXPECT_EQ(file.GetAccount().GetLost(), 1u);
        EXPECT_EQ(file.GetAccount().GetLastFailure(), QStringLiteral("Not a directory"));
        EXPECT_EQ(file.GetTarget(), m_strFile);
        ExpectBalanced(file);
    }
    EXPECT_EQ(m_traces.Count("WARNING: DFDataOutput: cannot open"), 1) << "traced only with the trace bit";

    m_strFile = goodFile;
    Configure(false, "COM1:9600,e,8,1", true, 0);
    TestableOutput output;
    AccountedOutput& file = output.GetFileOutput();
    QSignalSpy failures(&file, &AccountedOutput::FailureReported);
    QSignalSpy resumed(&file, &AccountedOutput::DeliveryResumed);
    const QByteArray line = Golden("normal.txt");
    Publish(NORMAL);
    for (const int nRoom : {0, 20})
    {
        const FileSizeLimit full(line.size() + nRoom);
        for (int i = 0; i < 100; ++i)
            Publish(NORMAL);
    }
    EXPECT_EQ(m_traces.Count("WARNING: DFDataOutput: writing to"), 200);
    Publish(NORMAL);
    EXPECT_EQ(ReadFile(m_strFile), line + line);
    output.SetEnabled(false);
    EXPECT_EQ(file.GetAccount().GetOffered(), 202u);
    EXPECT_EQ(file.GetAccount().GetLost(), 200u);
    EXPECT_EQ(file.GetAccount().GetLastFailure(), QStringLiteral("File too large"));
    EXPECT_EQ(file.GetFailure(), AccountedOutput::Failure::Write);
    EXPECT_TRUE(file.HasBeenOpen());
    ExpectBalanced(file);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0][0].toString(), QStringLiteral("File too large"));
    EXPECT_EQ(resumed.size(), 1);
    EXPECT_EQ(output.GetSerialOutput().GetAccount().GetOffered(), 0u) << "serial output is off";
    output.SetEnabled(true);
    Publish(NORMAL);
    EXPECT_EQ(ReadFile(m_strFile), line);
}

// Faster than the line, sentences wait until too many bytes do; the output
// says once that the line is too slow.
TEST_F(DFDataOutputTest, SerialAccountCountsWhatNobodyReadsAndSaysOnceThatTheLineIsTooSlow)
{
    PtyPair pty;
    ASSERT_TRUE(pty.IsValid());
    Configure(true, pty.SlaveName() + ":4800,n,8,1", false, 0);
    // Without file output a scan changes nothing: the line gets the current bearing.
    Tree::Instance()
        ->Find<values::ValueList<BearingResult>>("/KVTServer/Res/DfR/AzimuthList")
        ->PushBack(BearingResult(NORMAL, 1));
    Tree::Instance()->Find<values::ValueSelection>("/KVTServer/Par/Evt/SRStatus")->SetCurrentIndex(1);
    TestableOutput output;
    AccountedOutput& serial = output.GetSerialOutput();
    QSignalSpy notices(&serial, &AccountedOutput::NoticeReported);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return serial.HasBeenOpen(); }));

    // Faster than any line: the bytes waiting reach the limit.
    for (int i = 0; i < 500; ++i)
        Publish(NORMAL);
    EXPECT_GT(serial.GetAccount().GetLost(), 0u);
    EXPECT_EQ(serial.GetAccount().GetLastFailure(), QStringLiteral("Too many bytes wait for the line."));
    EXPECT_EQ(serial.GetFailure(), AccountedOutput::Failure::Overflow);
    ASSERT_EQ(notices.size(), 1);
    // Ten bits a character: start, eight data bits, stop.
    EXPECT_EQ(notices[0][0].toString(),
              QStringLiteral("At 4800 baud the line carries about 480 characters a second, fewer than the sentences "
                             "need."));

    const QByteArray sentence = Sentence();
    QByteArray received;
    ASSERT_TRUE(QTest::qWaitFor([&]() {
        received += pty.ReadMaster(1);
        return serial.GetAccount().GetPending() == 0;
    }));
    const QByteArray delivered = sentence.repeated(static_cast<int>(serial.GetAccount().GetDelivered()));
    received += pty.ReadMaster(delivered.size() - received.size());
    output.SetEnabled(false);
    EXPECT_EQ(received, delivered);
    EXPECT_EQ(serial.GetAccount().GetOffered(), 500u);
    ExpectBalanced(serial);
    EXPECT_FALSE(QFile::exists(m_strFile)) << "no file is made";
}

// The serial line gets the bare sentence; the output opens each new device put
// behind the configured name, and counts what it offered while there was none.
TEST_F(DFDataOutputTest, SerialLineCarriesTheBareSentenceReconnectsAndCountsWhatWasLost)
{
    const QString link = m_dir.filePath("ttyDF");
    Configure(true, link + ":9600,n,8,1", true, 0);
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    TestableOutput output;
    AccountedOutput& serial = output.GetSerialOutput();
    QSignalSpy failures(&serial, &AccountedOutput::FailureReported);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return failures.size() == 1; })) << "no device yet";
    EXPECT_TRUE(failures[0][0].toString().startsWith("The line is down: ")) << failures[0][0].toString().toStdString();
    EXPECT_EQ(m_traces.Count("SerialInterface::OnError"), 1);
    Publish(NORMAL);

    const QByteArray sentence = Sentence();
    for (int round = 1; round <= 2; ++round)
    {
        SCOPED_TRACE(round);
        PtyPair pty;
        ASSERT_TRUE(pty.IsValid());
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(pty.SlaveName(), link));
        ASSERT_TRUE(QTest::qWaitFor([&]() { return m_traces.Count("SerialInterface::OnOpen") == round; }));
        Publish(NORMAL);
        EXPECT_EQ(pty.ReadMaster(sentence.size()), sentence);
        ASSERT_TRUE(QTest::qWaitFor([&]() { return serial.GetAccount().GetDelivered() == unsigned(round); }));

        pty.CloseMaster();
        ASSERT_TRUE(QTest::qWaitFor([&]() { return m_traces.Count("SerialInterface::OnError") == round + 1; }));
        EXPECT_EQ(m_traces.Count("SerialInterface::OnClose"), round);
    }
    QFile::remove(link);
    Publish(NORMAL);
    output.SetEnabled(false);
    EXPECT_EQ(ReadFile(m_strFile), Golden("normal.txt").repeated(4));
    EXPECT_EQ(serial.GetAccount().GetOffered(), 4u);
    EXPECT_EQ(serial.GetAccount().GetLost(), 2u);
    EXPECT_TRUE(serial.GetAccount().GetLastFailure().startsWith("The line is down: "));
    ExpectBalanced(serial);
}

} // namespace
