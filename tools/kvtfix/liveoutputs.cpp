#include "tools/kvtfix/liveoutputs.h"

#include "tools/kvtfix/cotevents.h"
#include "tools/kvtfix/fixmessage.h"

namespace kvt {

LiveOutputs::LiveOutputs(const FixCommandLine& commandLine, QTextStream& err, Clock clock)
    : m_commandLine(commandLine)
    , m_err(err)
    , m_clock(std::move(clock))
{
}

bool LiveOutputs::Start(QString& rError)
{
    if (m_commandLine.IsPublish()) {
        m_pPublisher = std::make_unique<FixPublisher>(QJsonObject{
            {QStringLiteral("window"), m_commandLine.GetWindow()},
            {QStringLiteral("maxAge"), m_commandLine.GetMaxAge()},
        });
        // The input's login; the publisher's session is its own and clean.
        MqttConnection::Settings settings = m_commandLine.GetMqttSettings();
        settings.bCleanSession = true;
        if (!m_pPublisher->Start(settings)) {
            rError = m_pPublisher->GetAccount().GetLastFailure();
            return false;
        }
    }
    for (const QString& target : m_commandLine.GetCotTargets()) {
        auto pOutput = std::make_unique<CotOutput>();
        if (!pOutput->Start(target)) {
            rError = pOutput->GetAccount().GetLastFailure();
            return false;
        }
        m_lstCot.push_back(std::move(pOutput));
    }
    for (AccountedOutput* pOutput : Outputs()) {
        QObject::connect(pOutput, &AccountedOutput::FailureReported, pOutput, [this, pOutput](const QString& reason) {
            m_err << "kvtfix: " << pOutput->GetName() << " " << pOutput->GetTarget() << ": " << reason << "\n"
                  << Qt::flush;
        });
    }
    return true;
}

void LiveOutputs::Take(const std::vector<Fix>& fixes)
{
    for (const Fix& fix : fixes) {
        if (!fix.bValid)
            continue;
        if (m_pPublisher)
            m_pPublisher->Publish(fix);
        if (!m_lstCot.empty())
            SendCot(fix);
    }
}

void LiveOutputs::SendCot(const Fix& fix)
{
    const qint64 now = m_clock();
    const CotEvents::Times times{now, fix.nEndMs, now + static_cast<qint64>(m_commandLine.GetMaxAge() * 1000.0)};
    std::vector<QByteArray> events;
    for (const FixLine& line : fix.lstLines) {
        events.push_back(CotEvents::Station({line.strStation, line.fLatitude, line.fLongitude}, times));
        events.push_back(CotEvents::BearingLine(line, fix, times));
    }
    events.push_back(CotEvents::FixPoint(fix, FixMessage::Channel(fix), times));
    for (const auto& pOutput : m_lstCot) {
        for (const QByteArray& event : events)
            pOutput->Send(event);
    }
}

void LiveOutputs::Stop(int nDrainMs)
{
    if (m_pPublisher)
        m_pPublisher->Stop(nDrainMs);
    for (const auto& pOutput : m_lstCot)
        pOutput->Stop(nDrainMs);
}

std::vector<AccountedOutput*> LiveOutputs::Outputs() const
{
    std::vector<AccountedOutput*> outputs;
    if (m_pPublisher)
        outputs.push_back(m_pPublisher.get());
    for (const auto& pOutput : m_lstCot)
        outputs.push_back(pOutput.get());
    return outputs;
}

QJsonObject LiveOutputs::Summary() const
{
    QJsonObject summary;
    for (AccountedOutput* pOutput : Outputs()) {
        const DeliveryAccount& account = pOutput->GetAccount();
        summary.insert(pOutput->GetName() + QLatin1Char(' ') + pOutput->GetTarget(),
                       QJsonObject{{QStringLiteral("offered"), static_cast<qint64>(account.GetOffered())},
                                   {QStringLiteral("delivered"), static_cast<qint64>(account.GetDelivered())},
                                   {QStringLiteral("lost"), static_cast<qint64>(account.GetLost())},
                                   {QStringLiteral("lastFailure"), account.GetLastFailure()}});
    }
    return summary;
}

bool LiveOutputs::IsComplete() const
{
    for (AccountedOutput* pOutput : Outputs()) {
        if (!pOutput->GetAccount().IsComplete())
            return false;
    }
    return true;
}

}
