#include "devicecontrol/directionfinder/kvtcommon/zodmanager.h"

#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "network/mqttconnection.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/common/qstringprinter.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include <map>
#include <memory>
#include <vector>

namespace
{

const int WAIT_MS = 10000;
const QString MIN_FREQ = QStringLiteral("/KVTCONTROL/SYSMINFREQ");
const QString MAX_FREQ = QStringLiteral("/KVTCONTROL/SYSMAXFREQ");
const QString HANDOVER = QStringLiteral("/KVTCONTROL/HANDOVERFREQUENCY");
const QString SENDER_STATUS = QStringLiteral("/KVTCONTROL/ZOD/Sender/");
const QString RECEIVER_STATUS = QStringLiteral("/KVTCONTROL/ZOD/Receiver/");

struct ClientDeleter
{
    void operator()(IZodClientDll* pClient) const { CfgCenter::DestroyDllInstanceByPointer(pClient); }
};
using ClientPtr = std::unique_ptr<IZodClientDll, ClientDeleter>;

class ZodManagerTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        qputenv("KVT_MODULE_DIR", ZOD_MODULE_DIR);
        values::Tree::Instance()->Clear();
        ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
        Cfg().SetInt(QStringLiteral("ZodCentralPort"), m_broker.GetPort(), 0);
        m_pPeer = std::make_unique<MqttPeer>(m_broker.GetPort(), QStringLiteral("peer"), QStringLiteral("kvt/zod/#"));
    }

    void TearDown() override
    {
        m_lstClients.clear();
        m_pManager.reset();
        m_pPeer.reset();
        values::Tree::Instance()->Clear();
        qunsetenv("KVT_MODULE_DIR");
        ConfigDirFixture::TearDown();
    }

    static ICfg& Cfg() { return CfgCenter::GetAppCfg(ICfg::Application); }

    static values::ValueNumeric<double>* AddFrequency(const QString& path, double fHz)
    {
        return values::Tree::Instance()->CreateValue<values::ValueNumeric<double>>(path, fHz);
    }

    static values::ValueSelection* AddSelection(const QString& path,
                                                const std::vector<std::pair<QString, double>>& items)
    {
        auto* pSelection = values::Tree::Instance()->CreateValue<values::ValueSelection>(path);
        for (const auto& item : items)
            pSelection->AddItem(item.first, item.second, pSelection->GetItemCount());
        return pSelection;
    }

    /// A station's tuning values: frequency, bandwidth, demodulation below `root`, and the mode.
    static void AddTuning(const QString& root, const QString& modePath)
    {
        AddFrequency(root + QStringLiteral("/Frequency"), 1e6);
        AddSelection(root + QStringLiteral("/Bandwidth"),
                     {{QStringLiteral("10 kHz"), 1e4}, {QStringLiteral("30 kHz"), 3e4}, {QStringLiteral("1 MHz"), 1e6}});
        AddSelection(root + QStringLiteral("/Demodulation"), {{QStringLiteral("AM"), 0}, {QStringLiteral("FM"), 0}});
        AddSelection(modePath, {{QStringLiteral("FFM"), 0}, {QStringLiteral("Scan"), 0}});
    }

    static QString Text(const QString& path)
    {
        const values::ValueBase* pValue = values::Tree::Instance()->FindValue(path);
        return pValue != nullptr ? pValue->GetStringValue() : QStringLiteral("<none>");
    }

    static bool WaitForText(const QString& path, const QString& text)
    {
        return QTest::qWaitFor([&] { return Text(path) == text; }, WAIT_MS);
    }

    /// A receiver made directly from the module, with its tuning values below "/<name>",
    /// as the manager would configure it.
    void StartReceiver(const QString& name = "VHF", const QString& range = "80000000,120000000",
                       const QString& targets = "Ops")
    {
        const QString root = "/" + name;
        AddTuning(root, root + QStringLiteral("/Mode"));
        ClientPtr pClient(dynamic_cast<IZodClientDll*>(
            CfgCenter::CreateDllInstanceByFileName(QStringLiteral("ZodClient.dll"), QString(), false, false)));
        ASSERT_NE(pClient, nullptr);
        pClient->SetAutoCoupleTargets(targets);
        pClient->SetClientType(QStringLiteral("VELOR_KVT"));
        pClient->SetCentral(QStringLiteral("127.0.0.1"), m_broker.GetPort());
        pClient->SetClientName(name);
        pClient->SetReceiverRole(true);
        pClient->AddParameter(QStringLiteral("FRQ"), root + QStringLiteral("/Frequency"), QString());
        pClient->AddParameter(QStringLiteral("BW"), root + QStringLiteral("/Bandwidth"),
                              QStringLiteral("AdAlgSelectEqualOrBiggerValue"));
        pClient->AddParameter(QStringLiteral("DEM"), root + QStringLiteral("/Demodulation"), QString());
        pClient->SetModeParameter(root + QStringLiteral("/Mode"), QStringLiteral("FFM"));
        pClient->SetFrequencyRange(range);
        pClient->Start();
        EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/%1/state").arg(name), "online"));
        m_lstClients.push_back(std::move(pClient));
    }

    MosquittoBroker m_broker;
    std::unique_ptr<MqttPeer> m_pPeer;
    std::vector<ClientPtr> m_lstClients;
    std::unique_ptr<ZodManager> m_pManager = std::make_unique<ZodManager>();
};

TEST_F(ZodManagerTest, SenderPublishesItsConfigurationAndParametersRetainedAndEndsOffline)
{
    Cfg().SetString(QStringLiteral("AutoCoupleTargets"), QStringLiteral("Ops, Room"), 0);
    values::ValueNumeric<double>* pHandover = AddFrequency(HANDOVER, 1e8);
    QToolBar toolBar;

    m_pManager->CreateZodSender(QString(), &toolBar);

    ASSERT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/state"), "online"));
    ASSERT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/param/FRQ"), "100000000"));
    const std::map<QString, QByteArray> expected = {
        {"role", "sender"},
        {"client_type", "VELOR_KVT"},
        {"auto_couple_targets", "Ops, Room"},
        {"device_address", ""},
        {"frequency_range", ""},
        {"handover_frequency_path", "/KVTCONTROL/HANDOVERFREQUENCY"},
        {"handover_pool_frequency_path", "/KVTServer/HANDOVERPOOLFREQUENCY"},
        {"parameters", "FRQ,BW,DEM,FFM,AUDIO_MODE,AUDIO_CHANNELMUTE,AUDIO_CHANNELVOLUME,AUDIO_SOUNDCARDOUTPUT,"
                       "AUDIO_DEVICEOUTPUT,SQUELCHSTATE,SQUELCHVALUE"},
    };
    ASSERT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/config/parameters"), expected.at("parameters")));
    for (const auto& item : expected)
        EXPECT_EQ(m_pPeer->Latest(QStringLiteral("kvt/zod/KVT/config/") + item.first), item.second) << item.first.toStdString();
    ASSERT_EQ(toolBar.actions().size(), 1);
    EXPECT_EQ(toolBar.actions().first()->text(), QStringLiteral("ZOD"));
    EXPECT_TRUE(toolBar.actions().first()->isEnabled());
    EXPECT_EQ(Text(SENDER_STATUS + QStringLiteral("State")), QStringLiteral("connected"));

    pHandover->SetValue(1.25e8);
    EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/param/FRQ"), "125000000"));
    // A parameter whose value goes away is taken off the broker.
    ASSERT_TRUE(values::Tree::Instance()->RemoveValue(HANDOVER));
    EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/param/FRQ"), ""));

    m_pManager->DestroyZodSender();
    EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/state"), "offline"));
    EXPECT_TRUE(toolBar.actions().isEmpty());
    EXPECT_EQ(Text(SENDER_STATUS + QStringLiteral("State")), QStringLiteral("<none>"));
}

TEST_F(ZodManagerTest, HandoverTunesOnlyReceiversInRangeAndOnlyFromFollowedSenders)
{
    StartReceiver("VHF", "80000000,120000000", "Ops; Ops/North");
    StartReceiver("UHF", "300000000,3000000000");

    // Ops hands 100 MHz over with its other parameters: only VHF covers it.
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/BW"), "12.5 kHz"));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/DEM"), "FM"));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/FRQ"), "100000000"));
    ASSERT_TRUE(WaitForText(QStringLiteral("/VHF/Frequency"), QStringLiteral("100000000")));
    EXPECT_TRUE(WaitForText(QStringLiteral("/VHF/Bandwidth"), QStringLiteral("30 kHz")));
    EXPECT_EQ(Text(QStringLiteral("/VHF/Demodulation")), QStringLiteral("FM"));

    // A second followed sender, whose name needs escaping in its topic level; then one that
    // nobody follows.
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops%2FNorth/param/FRQ"), "90000000"));
    ASSERT_TRUE(WaitForText(QStringLiteral("/VHF/Frequency"), QStringLiteral("90000000")));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Rogue/param/FRQ"), "110000000"));

    // The mode arrives after everything above has passed: nothing from Rogue got through.
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/FFM"), "Scan"));
    ASSERT_TRUE(WaitForText(QStringLiteral("/VHF/Mode"), QStringLiteral("Scan")));
    EXPECT_EQ(Text(QStringLiteral("/VHF/Frequency")), QStringLiteral("90000000"));
    EXPECT_EQ(Text(QStringLiteral("/UHF/Frequency")), QStringLiteral("1000000"));
    EXPECT_EQ(Text(QStringLiteral("/UHF/Bandwidth")), QStringLiteral("10 kHz"));
    EXPECT_EQ(Text(QStringLiteral("/UHF/Mode")), QStringLiteral("FFM"));

    // The handover moves up: now UHF tunes, VHF keeps its last tuning.
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/FRQ"), "4.5e8"));
    ASSERT_TRUE(WaitForText(QStringLiteral("/UHF/Frequency"), QStringLiteral("450000000")));
    EXPECT_EQ(Text(QStringLiteral("/UHF/Bandwidth")), QStringLiteral("30 kHz"));
    EXPECT_EQ(Text(QStringLiteral("/UHF/Mode")), QStringLiteral("Scan"));
    EXPECT_EQ(Text(QStringLiteral("/VHF/Frequency")), QStringLiteral("90000000"));
}

TEST_F(ZodManagerTest, LateReceiverTunesFromRetainedStateThroughTheManagersPaths)
{
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/FRQ"), "145500000"));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/BW"), "1 MHz"));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/DEM"), "AM"));
    Cfg().SetString(QStringLiteral("AutoCoupleTargets"), QStringLiteral("Ops"), 0);
    AddFrequency(MIN_FREQ, 2e7);
    AddFrequency(MAX_FREQ, 3e9);
    AddTuning(QStringLiteral("/KVTServer/Par/Rx"), "/KVTServer" + StdDeviceDefinition::g_vdOperationMode.PathName());

    m_pManager->CreateZodReceiver(QStringLiteral("Late"));

    EXPECT_TRUE(WaitForText("/KVTServer" + StdDeviceDefinition::g_vdFrequency.PathName(), QStringLiteral("145500000")));
    EXPECT_TRUE(WaitForText("/KVTServer" + StdDeviceDefinition::g_vdBandwidth.PathName(), QStringLiteral("1 MHz")));
    EXPECT_TRUE(WaitForText("/KVTServer" + StdDeviceDefinition::g_vdDemodulation.PathName(), QStringLiteral("AM")));
    // What arrives within the dwell is held and applied as the sender's whole latest tuning, so
    // the count depends on how the three retained messages were spaced (ZodFollowerTest pins it).
    EXPECT_GE(Text(RECEIVER_STATUS + QStringLiteral("Applied")).toInt(), 3);
}

TEST_F(ZodManagerTest, ReceiverPublishesTheRoundedRangeOnlyWhileItIsConsistent)
{
    Cfg().SetString(QStringLiteral("ZodClientName"), QStringLiteral("Station 7"), 0);
    values::ValueNumeric<double>* pMin = AddFrequency(MIN_FREQ, 100.6);
    values::ValueNumeric<double>* pMax = AddFrequency(MAX_FREQ, 2000.4);
    values::Tree::Instance()->CreateValue<values::Value<QString>>(
        "/KVTServer" + StdDeviceDefinition::g_vdDevAddress.PathName(), QStringLiteral("10.0.0.5"));

    m_pManager->CreateZodReceiver(QStringLiteral("Ignored"));

    const QString config = QStringLiteral("kvt/zod/Station 7/config/");
    ASSERT_TRUE(m_pPeer->WaitForExactly(config + QStringLiteral("parameters"), "FRQ,BW,DEM,FFM"));
    EXPECT_EQ(m_pPeer->Latest(config + QStringLiteral("frequency_range")), QByteArray("101,2000"));
    EXPECT_EQ(m_pPeer->Latest(config + QStringLiteral("role")), QByteArray("receiver"));
    EXPECT_EQ(m_pPeer->Latest(config + QStringLiteral("device_address")), QByteArray("10.0.0.5"));
    EXPECT_EQ(m_pPeer->Latest(QStringLiteral("kvt/zod/Station 7/param/FRQ")), QByteArray("<none>"));

    // Neither a minimum of 0 nor a minimum at the maximum is sent: the next range is the first
    // consistent one.
    pMin->SetValue(0);
    pMax->SetValue(3e9);
    pMin->SetValue(3e9);
    pMin->SetValue(2e7);
    ASSERT_TRUE(m_pPeer->WaitForExactly(config + QStringLiteral("frequency_range"), "20000000,3000000000"));

    // A minimum that goes away is forgotten; the range is not sent any more.
    ASSERT_TRUE(values::Tree::Instance()->RemoveValue(MIN_FREQ));
    pMax->SetValue(4e9);
    m_pManager->DestroyZodReceiver();
    EXPECT_EQ(pMax->GetObserverCount(), 0);
    ASSERT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/Station 7/state"), "offline"));
    EXPECT_EQ(m_pPeer->History(config + QStringLiteral("frequency_range")),
              (QByteArrayList{"101,2000", "20000000,3000000000"}));
}

TEST_F(ZodManagerTest, BrokerRestartReconnectsAndSendsTheRetainedStateAgain)
{
    values::ValueNumeric<double>* pHandover = AddFrequency(HANDOVER, 1e8);
    m_pManager->CreateZodSender(QStringLiteral("Ops"), nullptr);
    StartReceiver();
    ASSERT_TRUE(WaitForText(QStringLiteral("/VHF/Frequency"), QStringLiteral("100000000")));

    // The broker keeps nothing over a restart: what the peer sees afterwards was sent again.
    ASSERT_TRUE(m_broker.Restart()) << m_broker.GetErrorText().toStdString();
    m_pPeer = std::make_unique<MqttPeer>(m_broker.GetPort(), QStringLiteral("peer"), QStringLiteral("kvt/zod/#"));
    ASSERT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/Ops/param/FRQ"), "100000000"));
    EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/Ops/state"), "online"));
    EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/VHF/state"), "online"));
    EXPECT_EQ(Text(QStringLiteral("/VHF/Frequency")), QStringLiteral("100000000"));

    // The receiver follows again after its reconnect.
    pHandover->SetValue(1.1e8);
    EXPECT_TRUE(WaitForText(QStringLiteral("/VHF/Frequency"), QStringLiteral("110000000")));
    EXPECT_EQ(Text(SENDER_STATUS + QStringLiteral("State")), QStringLiteral("connected"));
}

TEST_F(ZodManagerTest, WrongPasswordIsGivenUpAndShowsAsTheReceiversError)
{
    m_pPeer.reset();
    m_broker.Stop();
    ASSERT_TRUE(m_broker.RequirePassword(QStringLiteral("station"), QStringLiteral("secret")));
    ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
    Cfg().SetString(QStringLiteral("ZodUserName"), QStringLiteral("station"), 0);
    Cfg().SetString(QStringLiteral("ZodPassword"), QStringLiteral("guess"), 0);

    m_pManager->CreateZodReceiver(QString());
    // Given up after a bounded number of tries, and shown as such.
    EXPECT_TRUE(WaitForText(RECEIVER_STATUS + QStringLiteral("State"), QStringLiteral("refused")));
    EXPECT_EQ(Text(RECEIVER_STATUS + QStringLiteral("Error")),
              QStringLiteral("the broker refused the user name or password"));

    Cfg().SetString(QStringLiteral("ZodPassword"), QStringLiteral("secret"), 0);
    m_pManager->CreateZodReceiver(QString());
    EXPECT_TRUE(WaitForText(RECEIVER_STATUS + QStringLiteral("State"), QStringLiteral("connected")));
    EXPECT_EQ(Text(RECEIVER_STATUS + QStringLiteral("Error")), QString());
}

// The access list binds a station's topics to its login: another station's login under the
// sender's client id is acknowledged but denied by the broker, and nobody gets in without one.
TEST_F(ZodManagerTest, OnALockedBrokerOnlyTheSendersOwnLoginTunesTheReceiver)
{
    m_pPeer.reset();
    m_broker.Stop();
    ASSERT_TRUE(m_broker.LockDown({QStringLiteral("VHF"), QStringLiteral("Ops"), QStringLiteral("Rogue"),
                                   QStringLiteral("console")}))
        << m_broker.GetErrorText().toStdString();
    ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
    Cfg().SetString(QStringLiteral("ZodUserName"), QStringLiteral("VHF"), 0);
    Cfg().SetString(QStringLiteral("ZodPassword"), MosquittoBroker::PasswordOf(QStringLiteral("VHF")), 0);
    m_pPeer = std::make_unique<MqttPeer>(m_broker.GetPort(), QStringLiteral("watcher"), QStringLiteral("kvt/zod/#"),
                                         QStringLiteral("console"));
    StartReceiver();
    const QString frq = QStringLiteral("kvt/zod/Ops/param/FRQ");

    MqttPeer rogue(m_broker.GetPort(), QStringLiteral("Ops"), QString(), QStringLiteral("Rogue"));
    ASSERT_TRUE(rogue.Send(frq, "90000000"));
    MqttPeer sender(m_broker.GetPort(), QStringLiteral("Ops.sender"), QString(), QStringLiteral("Ops"));
    ASSERT_TRUE(sender.Send(frq, "100000000"));
    EXPECT_TRUE(WaitForText(QStringLiteral("/VHF/Frequency"), QStringLiteral("100000000")));
    ASSERT_TRUE(m_pPeer->WaitFor(frq));
    EXPECT_EQ(m_pPeer->History(frq), QByteArrayList{"100000000"});
    EXPECT_EQ(Text(RECEIVER_STATUS + QStringLiteral("Applied")), QStringLiteral("1"));
    EXPECT_TRUE(m_broker.GetLog().contains(QStringLiteral("Denied PUBLISH from Ops ")))
        << m_broker.GetLog().toStdString();

    MqttConnection anonymous;
    anonymous.SetReconnectDelays(20, 200);
    QSignalSpy refused(&anonymous, &MqttConnection::LoginRefused);
    ASSERT_TRUE(anonymous.Open(MqttPeer::Settings(m_broker.GetPort(), QStringLiteral("anonymous"))));
    EXPECT_TRUE(QTest::qWaitFor([&] { return refused.count() == 1; }, WAIT_MS));
}

TEST_F(ZodManagerTest, HostileParameterMessagesAreCountedAndNeverApplied)
{
    StartReceiver();
    const QString frq = QStringLiteral("kvt/zod/Ops/param/FRQ");
    // No frequency known yet: the demodulation waits as the sender's latest.
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/DEM"), "FM"));
    for (const QByteArray& payload : {QByteArray("abc"), QByteArray("1e400"), QByteArray("-100000000"),
                                      QByteArray("nan"), QByteArray(" 100000000"), QByteArray("100000000\n"),
                                      QByteArray("\xff\xfe", 2), QByteArray("1\0" "00", 4), QByteArray(300, '1')})
        ASSERT_TRUE(m_pPeer->Send(frq, payload));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/AUDIO_MODE"), "2"));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/DEM"), ""));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/DEM"), "FM"));
    ASSERT_TRUE(m_pPeer->Send(QStringLiteral("kvt/zod/Ops/param/FFM"), "Sweep"));
    ASSERT_TRUE(m_pPeer->Send(frq, "200000000"));
    ASSERT_TRUE(m_pPeer->Send(frq, "100000000"));

    ASSERT_TRUE(WaitForText(QStringLiteral("/VHF/Frequency"), QStringLiteral("100000000")));
    EXPECT_EQ(Text(QStringLiteral("/VHF/Demodulation")), QStringLiteral("FM"));
    EXPECT_EQ(Text(QStringLiteral("/VHF/Mode")), QStringLiteral("FFM"));
    const std::map<QString, QString> expected = {
        {"IgnoredMalformed", "9"}, {"IgnoredUnknownTag", "1"}, {"Cleared", "1"},
        // DEM twice and the unknown mode before any frequency, and 200 MHz.
        {"IgnoredOutOfRange", "4"},
        // The frequency, then DEM applied and "Sweep" refused by the mode value.
        {"Applied", "2"}, {"Refused", "1"}, {"IgnoredUnfollowed", "0"}};
    for (const auto& item : expected)
        EXPECT_EQ(Text(RECEIVER_STATUS + item.first), item.second) << item.first.toStdString();
}

TEST_F(ZodManagerTest, CreatingTheReceiverAgainReplacesTheInstance)
{
    values::ValueNumeric<double>* pMin = AddFrequency(MIN_FREQ, 1e6);
    values::ValueNumeric<double>* pMax = AddFrequency(MAX_FREQ, 2e6);

    m_pManager->CreateZodReceiver(QString());
    ASSERT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/state"), "online"));
    m_pManager->CreateZodReceiver(QString());

    EXPECT_EQ(pMin->GetObserverCount(), 1);
    EXPECT_EQ(pMax->GetObserverCount(), 1);
    pMax->SetValue(3e6);
    EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/config/frequency_range"), "1000000,3000000"));
    EXPECT_EQ(m_pPeer->Latest(QStringLiteral("kvt/zod/KVT/state")), QByteArray("online"));
}

TEST_F(ZodManagerTest, MissingOrForeignModuleLeavesTheRolesEmpty)
{
    values::ValueNumeric<double>* pMin = AddFrequency(MIN_FREQ, 1e6);
    QTemporaryDir moduleDir;
    qputenv("KVT_MODULE_DIR", moduleDir.path().toUtf8());

    m_pManager->CreateZodSender(QString(), nullptr);
    m_pManager->CreateZodReceiver(QString());
    EXPECT_EQ(pMin->GetObserverCount(), 0);

    ASSERT_TRUE(QFile::copy(FOREIGN_MODULE_FILE, moduleDir.filePath("libZodClient.so")));
    m_pManager->CreateZodSender(QString(), nullptr);
    m_pManager->CreateZodReceiver(QString());
    EXPECT_EQ(pMin->GetObserverCount(), 0);
}

TEST_F(ZodManagerTest, IfConfiguredWritesAnAbsentKeyWithItsDefault)
{
    values::ValueNumeric<double>* pMin = AddFrequency(MIN_FREQ, 1e6);

    m_pManager->CreateZodReceiverIfConfigured(QString(), QStringLiteral("ZodReceiver"), false);
    EXPECT_EQ(pMin->GetObserverCount(), 0);
    EXPECT_TRUE(Cfg().Contains(QStringLiteral("ZodReceiver")));
    EXPECT_FALSE(Cfg().GetBool(QStringLiteral("ZodReceiver"), true, 0));

    Cfg().SetReadOnly(QStringLiteral("ZodSender"), true, 0);
    m_pManager->CreateZodSenderIfConfigured(QString(), nullptr, QStringLiteral("ZodSender"), true);
    EXPECT_TRUE(Cfg().GetBool(QStringLiteral("ZodSender"), false, 0));
    EXPECT_FALSE(Cfg().IsReadOnly(QStringLiteral("ZodSender")));
    EXPECT_TRUE(m_pPeer->WaitForExactly(QStringLiteral("kvt/zod/KVT/state"), "online"));
}

} // namespace
