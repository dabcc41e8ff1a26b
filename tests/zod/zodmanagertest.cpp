#include "devicecontrol/directionfinder/kvtcommon/zodmanager.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "tests/common/configdirfixture.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <QAction>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolBar>

#include <memory>
#include <vector>

namespace
{

const int WAIT_MS = 10000;
const QString MIN_FREQ = QStringLiteral("/KVTCONTROL/SYSMINFREQ");
const QString MAX_FREQ = QStringLiteral("/KVTCONTROL/SYSMAXFREQ");

class ZodManagerTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        qputenv("KVT_MODULE_DIR", ZOD_MODULE_DIR);
        values::Tree::Instance()->Clear();
        ASSERT_TRUE(m_server.listen(QHostAddress::LocalHost));
        Cfg().SetInt(QStringLiteral("ZodCentralPort"), m_server.serverPort(), 0);
    }

    void TearDown() override
    {
        m_pManager.reset();
        values::Tree::Instance()->Clear();
        qunsetenv("KVT_MODULE_DIR");
        ConfigDirFixture::TearDown();
    }

    static ICfg& Cfg() { return CfgCenter::GetAppCfg(ICfg::Application); }

    static values::ValueNumeric<double>* AddFrequency(const QString& path, double fHz)
    {
        return values::Tree::Instance()->CreateValue<values::ValueNumeric<double>>(path, fHz);
    }

    // Accepts connections until there are `count` of them; the connections stay open on our side.
    bool WaitForConnections(size_t count)
    {
        return QTest::qWaitFor(
            [&] {
                while (QTcpSocket* pPeer = m_server.nextPendingConnection())
                    m_lstPeers.push_back(pPeer);
                return m_lstPeers.size() >= count;
            },
            WAIT_MS);
    }

    // The next `count` lines that the client of connection `peer` sent.
    std::vector<std::string> NextLines(size_t peer, int count)
    {
        if (m_lstBuffers.size() <= peer)
            m_lstBuffers.resize(peer + 1);
        QByteArray& buffer = m_lstBuffers[peer];
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                buffer += m_lstPeers[peer]->readAll();
                return buffer.count('\n') >= count;
            },
            WAIT_MS))
            << "fewer lines than expected";
        std::vector<std::string> lines;
        for (int i = 0; i < count && buffer.contains('\n'); ++i)
        {
            const int nEnd = buffer.indexOf('\n');
            lines.push_back(buffer.left(nEnd).toStdString());
            buffer.remove(0, nEnd + 1);
        }
        return lines;
    }

    bool WaitForClose(size_t peer)
    {
        return QTest::qWaitFor(
            [&] { return m_lstPeers[peer]->state() == QAbstractSocket::UnconnectedState; }, WAIT_MS);
    }

    QTcpServer m_server;
    std::vector<QTcpSocket*> m_lstPeers;
    std::vector<QByteArray> m_lstBuffers;
    std::unique_ptr<ZodManager> m_pManager = std::make_unique<ZodManager>();
};

TEST_F(ZodManagerTest, SenderReportsItsConfigurationInCallOrderAndFollowsItsParameters)
{
    Cfg().SetString(QStringLiteral("AutoCoupleTargets"), QStringLiteral("Ops\tRoom"), 0);
    values::ValueNumeric<double>* pHandover = AddFrequency(QStringLiteral("/KVTCONTROL/HANDOVERFREQUENCY"), 1e8);
    QToolBar toolBar;

    m_pManager->CreateZodSender(QString(), &toolBar);

    ASSERT_TRUE(WaitForConnections(1));
    const std::string port = std::to_string(m_server.serverPort());
    EXPECT_EQ(NextLines(0, 21), (std::vector<std::string>{
        "SetAutoCoupleTargets\tOps\\tRoom",
        "SetClientType\tVELOR_KVT",
        "SetCentral\t127.0.0.1\t" + port,
        "SetClientName\tKVT",
        "SetReceiverRole\tfalse",
        "SetToolBar\ttrue\tfalse",
        "SetHandoverFrequencyPath\t/KVTCONTROL/HANDOVERFREQUENCY",
        "AddParameter\tFRQ\t/KVTCONTROL/HANDOVERFREQUENCY\t",
        "SetHandoverPoolFrequencyPath\t/KVTServer/HANDOVERPOOLFREQUENCY",
        "AddParameter\tBW\t/KVTServer/Par/Rx/Bandwidth\tAdAlgSelectEqualOrBiggerValue",
        "AddParameter\tDEM\t/KVTServer/Par/Rx/Demodulation\t",
        "SetModeParameter\t/KVTServer/DevAttr/OperationMode\tFFM",
        "AddParameter\tAUDIO_MODE\t/KVTCONTROL/AUDIOMODES\t",
        "AddParameter\tAUDIO_CHANNELMUTE\t/KVTServer/Par/Audio/ChannelMute\t",
        "AddParameter\tAUDIO_CHANNELVOLUME\t/KVTServer/Par/Audio/ChannelVolume\t",
        "AddParameter\tAUDIO_SOUNDCARDOUTPUT\t/KVTCONTROL/SOUNDCARDOUTPUT\t",
        "AddParameter\tAUDIO_DEVICEOUTPUT\t/KVTCONTROL/DEVICEOUTPUT\t",
        "AddParameter\tSQUELCHSTATE\t/KVTServer/Par/Audio/Squelch\t",
        "AddParameter\tSQUELCHVALUE\t/KVTServer/Par/Audio/Threshold\t",
        "Start",
        "Value\tFRQ\t100000000",
    }));
    ASSERT_EQ(toolBar.actions().size(), 1);
    EXPECT_EQ(toolBar.actions().first()->text(), QStringLiteral("ZOD"));
    EXPECT_TRUE(toolBar.actions().first()->isEnabled());

    pHandover->SetValue(1.25e8);
    EXPECT_EQ(NextLines(0, 1), std::vector<std::string>{"Value\tFRQ\t125000000"});

    m_pManager->DestroyZodSender();
    EXPECT_TRUE(WaitForClose(0));
    EXPECT_TRUE(toolBar.actions().isEmpty());
    EXPECT_EQ(pHandover->GetObserverCount(), 0);
}

TEST_F(ZodManagerTest, LostConnectionIsReestablishedWithTheWholeConfiguration)
{
    m_pManager->CreateZodSender(QString(), nullptr);
    ASSERT_TRUE(WaitForConnections(1));
    const std::vector<std::string> configuration = NextLines(0, 20);

    m_lstPeers[0]->abort();

    ASSERT_TRUE(WaitForConnections(2));
    EXPECT_EQ(NextLines(1, 20), configuration);
}

TEST_F(ZodManagerTest, ReceiverIsToldTheRoundedRangeOnlyWhileItIsConsistent)
{
    Cfg().SetString(QStringLiteral("ZodClientName"), QStringLiteral("Station 7"), 0);
    values::ValueNumeric<double>* pMin = AddFrequency(MIN_FREQ, 100.6);
    values::ValueNumeric<double>* pMax = AddFrequency(MAX_FREQ, 2000.4);
    values::Tree::Instance()->CreateValue<values::Value<QString>>(
        "/KVTServer" + StdDeviceDefinition::g_vdDevAddress.PathName(), QStringLiteral("10.0.0.5"));

    m_pManager->CreateZodReceiver(QStringLiteral("Ignored"));

    ASSERT_TRUE(WaitForConnections(1));
    EXPECT_EQ(NextLines(0, 12), (std::vector<std::string>{
        "SetAutoCoupleTargets\t",
        "SetClientType\tVELOR_KVT",
        "SetCentral\t127.0.0.1\t" + std::to_string(m_server.serverPort()),
        "SetClientName\tStation 7",
        "SetReceiverRole\ttrue",
        "SetDeviceAddress\t10.0.0.5",
        "AddParameter\tFRQ\t/KVTServer/Par/Rx/Frequency\t",
        "AddParameter\tBW\t/KVTServer/Par/Rx/Bandwidth\tAdAlgSelectEqualOrBiggerValue",
        "AddParameter\tDEM\t/KVTServer/Par/Rx/Demodulation\t",
        "SetModeParameter\t/KVTServer/DevAttr/OperationMode\tFFM",
        "SetFrequencyRange\t101,2000",
        "Start",
    }));

    // Neither a minimum of 0 nor a minimum at the maximum is sent: the next line is the first
    // consistent range.
    pMin->SetValue(0);
    pMax->SetValue(3e9);
    pMin->SetValue(3e9);
    pMin->SetValue(2e7);
    EXPECT_EQ(NextLines(0, 1), std::vector<std::string>{"SetFrequencyRange\t20000000,3000000000"});

    // A minimum that goes away is forgotten; the range is not sent any more.
    ASSERT_TRUE(values::Tree::Instance()->RemoveValue(MIN_FREQ));
    pMax->SetValue(4e9);
    m_pManager->DestroyZodReceiver();
    EXPECT_EQ(pMax->GetObserverCount(), 0);
    EXPECT_TRUE(WaitForClose(0));
    EXPECT_TRUE(m_lstPeers[0]->readAll().isEmpty());
}

TEST_F(ZodManagerTest, CreatingTheReceiverAgainReplacesTheInstance)
{
    values::ValueNumeric<double>* pMin = AddFrequency(MIN_FREQ, 1e6);
    values::ValueNumeric<double>* pMax = AddFrequency(MAX_FREQ, 2e6);

    m_pManager->CreateZodReceiver(QString());
    ASSERT_TRUE(WaitForConnections(1));
    m_pManager->CreateZodReceiver(QString());

    ASSERT_TRUE(WaitForConnections(2));
    EXPECT_TRUE(WaitForClose(0));
    EXPECT_EQ(pMin->GetObserverCount(), 1);
    EXPECT_EQ(pMax->GetObserverCount(), 1);

    NextLines(1, 12);  // the whole configuration again, whose order the receiver test pins
    pMax->SetValue(3e6);
    EXPECT_EQ(NextLines(1, 1), std::vector<std::string>{"SetFrequencyRange\t1000000,3000000"});
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
    EXPECT_TRUE(WaitForConnections(1));
}

} // namespace
