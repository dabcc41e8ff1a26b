// From a sender's handover to the receivers' tuning: a sender ZOD client and
// receivers, each made from the client module of the build tree as the ZOD
// manager makes them, all in this process and its one event loop on one
// value tree, with a real broker on loopback. Each handover changes the
// sender's frequency; its latency runs from that change to the receiver's
// tuned frequency taking the new value (one steady clock for both).
//
// Handovers follow one another: the next one starts once every receiver has
// tuned (or a second has passed) and a short pause is over. Exit code 1 when
// a handover did not reach every receiver within that second, 2 when the
// broker or the clients could not start.
#include "base/cfgcenter.h"
#include "bench/tunedwatch.h"
#include "devicecontrol/directionfinder/kvtcommon/izodclientdll.h"
#include "tests/common/mosquittobroker.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{

const int TUNE_TIMEOUT_MS = 1000;
const int PAUSE_MS = 20;
const QString SENDER = QStringLiteral("Ops");
const QString HANDOVER = QStringLiteral("/Ops/Handover");

struct ClientDeleter
{
    void operator()(IZodClientDll* pClient) const { CfgCenter::DestroyDllInstanceByPointer(pClient); }
};
using ClientPtr = std::unique_ptr<IZodClientDll, ClientDeleter>;

ClientPtr MakeClient(const QString& name, int nPort)
{
    ClientPtr pClient(dynamic_cast<IZodClientDll*>(
        CfgCenter::CreateDllInstanceByFileName(QStringLiteral("ZodClient.dll"), QString(), false, false)));
    if (pClient != nullptr)
    {
        pClient->SetClientType(QStringLiteral("VELOR_KVT"));
        pClient->SetCentral(QStringLiteral("127.0.0.1"), nPort);
        pClient->SetClientName(name);
    }
    return pClient;
}

/// A receiver that follows the sender over the whole band, with its tuning values below /<name>.
ClientPtr MakeReceiver(const QString& name, int nPort)
{
    ClientPtr pClient = MakeClient(name, nPort);
    if (pClient == nullptr)
        return pClient;
    const QString root = QLatin1Char('/') + name;
    values::Tree* pTree = values::Tree::Instance();
    pTree->CreateValue<values::ValueNumeric<double>>(root + QStringLiteral("/Frequency"), 1e6);
    auto* pDemodulation = pTree->CreateValue<values::ValueSelection>(root + QStringLiteral("/Demodulation"));
    pDemodulation->AddItem(QStringLiteral("FM"), 0, 0);
    pClient->SetReceiverRole(true);
    pClient->SetAutoCoupleTargets(SENDER);
    pClient->AddParameter(QStringLiteral("FRQ"), root + QStringLiteral("/Frequency"), QString());
    pClient->AddParameter(QStringLiteral("DEM"), root + QStringLiteral("/Demodulation"), QString());
    pClient->SetFrequencyRange(QStringLiteral("20000000,3000000000"));
    pClient->Start();
    return pClient;
}

void Pause(int nMs)
{
    QEventLoop loop;
    QTimer::singleShot(nMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

/// Runs the event loop until every watch has seen its value or nTimeoutMs have passed.
bool WaitUntilTuned(const std::vector<std::unique_ptr<TunedWatch>>& watches, int nTimeoutMs)
{
    const auto tuned = [&watches] {
        for (const auto& pWatch : watches)
            if (!pWatch->IsTuned())
                return false;
        return true;
    };
    if (tuned())
        return true;
    QEventLoop loop;
    QTimer::singleShot(nTimeoutMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    for (const auto& pWatch : watches)
        pWatch->OnTuned([&] {
            if (tuned())
                loop.quit();
        });
    loop.exec();
    for (const auto& pWatch : watches)
        pWatch->OnTuned(nullptr);
    return tuned();
}

int Measure(int nHandovers, int nReceivers, const QStringList& brokerLines)
{
    MosquittoBroker broker;
    broker.LogDefaultsOnly();
    for (const QString& line : brokerLines)
        broker.AddConfigurationLine(line);
    if (!broker.Start())
    {
        std::fprintf(stderr, "handoverbench: %s\n", qPrintable(broker.GetErrorText()));
        return 2;
    }
    auto* pHandover = values::Tree::Instance()->CreateValue<values::ValueNumeric<double>>(HANDOVER, 1e8);
    ClientPtr pSender = MakeClient(SENDER, broker.GetPort());
    if (pSender == nullptr)
    {
        std::fprintf(stderr, "handoverbench: no ZOD client module in %s\n", qPrintable(qgetenv("KVT_MODULE_DIR")));
        return 2;
    }
    pSender->SetReceiverRole(false);
    pSender->AddParameter(QStringLiteral("FRQ"), HANDOVER, QString());
    pSender->Start();
    std::vector<ClientPtr> receivers;
    std::vector<std::unique_ptr<TunedWatch>> watches;
    for (int i = 1; i <= nReceivers; ++i)
    {
        const QString name = QStringLiteral("Rx%1").arg(i);
        receivers.push_back(MakeReceiver(name, broker.GetPort()));
        watches.push_back(std::make_unique<TunedWatch>(
            values::Tree::Instance()->FindValue(QLatin1Char('/') + name + QStringLiteral("/Frequency"))));
    }

    // The retained first handover tunes every receiver once its subscription stands.
    for (const auto& pWatch : watches)
        pWatch->Expect(QStringLiteral("100000000"), LatencySummary::Now());
    if (!WaitUntilTuned(watches, 10000))
    {
        std::fprintf(stderr, "handoverbench: the receivers did not tune to the first handover\n");
        return 2;
    }
    for (const auto& pWatch : watches)
        pWatch->ClearLatencies();
    int nMissed = 0;
    for (int i = 1; i <= nHandovers; ++i)
    {
        // Whole kHz from 100 MHz up, as the value tree writes them.
        const double fFrequency = 1e8 + 1e3 * i;
        const QString text = QString::number(static_cast<qint64>(fFrequency));
        const qint64 nChangedAt = LatencySummary::Now();
        for (const auto& pWatch : watches)
            pWatch->Expect(text, nChangedAt);
        pHandover->SetValue(fFrequency);
        if (!WaitUntilTuned(watches, TUNE_TIMEOUT_MS))
            ++nMissed;
        Pause(PAUSE_MS);
    }
    std::printf("%d handovers, %d receivers, broker %s\n", nHandovers, nReceivers,
                brokerLines.isEmpty() ? "defaults" : qPrintable(brokerLines.join(", ")));
    LatencySummary all;
    for (size_t i = 0; i < watches.size(); ++i)
    {
        std::printf("Rx%zu: %s\n", i + 1, qPrintable(watches[i]->GetLatencies().ToText()));
        all.Add(watches[i]->GetLatencies());
    }
    std::printf("all receivers: %s\n", qPrintable(all.ToText()));
    std::printf("handovers not tuned by every receiver within %d ms: %d\n", TUNE_TIMEOUT_MS, nMissed);
    watches.clear();
    receivers.clear();
    pSender.reset();
    return nMissed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Latency from a sender's handover to the receivers' tuning."));
    parser.addHelpOption();
    const QCommandLineOption handovers(QStringLiteral("handovers"), QStringLiteral("Number of handovers."),
                                       QStringLiteral("n"), QStringLiteral("200"));
    const QCommandLineOption receivers(QStringLiteral("receivers"), QStringLiteral("Number of receivers."),
                                       QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption brokerLine(QStringLiteral("broker-line"),
                                        QStringLiteral("A line for the broker's configuration (repeatable)."),
                                        QStringLiteral("line"));
    parser.addOptions({handovers, receivers, brokerLine});
    parser.process(app);

    // The client module reads the application configuration: a directory of its own.
    QTemporaryDir configDir;
    qputenv("KVT_CONFIG_DIR", configDir.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("KVT_MODULE_DIR"))
        qputenv("KVT_MODULE_DIR", ZOD_MODULE_DIR);
    CfgCenter::Reset();
    const int nResult = Measure(std::max(1, parser.value(handovers).toInt()),
                                std::max(1, parser.value(receivers).toInt()), parser.values(brokerLine));
    values::Tree::Instance()->Clear();
    CfgCenter::Reset();
    return nResult;
}
