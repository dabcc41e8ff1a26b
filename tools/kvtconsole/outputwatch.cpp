#include "tools/kvtconsole/outputwatch.h"

#include "base/accountedoutput.h"

OutputWatch::OutputWatch(const std::vector<AccountedOutput*>& outputs, QObject* pParent)
    : QObject(pParent)
{
    for (AccountedOutput* pOutput : outputs) {
        // A failure reported before the watch began (a file that never opened) counts.
        m_mapFailing[pOutput] = !pOutput->GetAccount().GetLastFailure().isEmpty() && !pOutput->HasBeenOpen();
        connect(pOutput, &AccountedOutput::FailureReported, this, [this, pOutput](const QString& reason) {
            m_mapFailing[pOutput] = true;
            emit Failed(*pOutput, reason);
        });
        connect(pOutput, &AccountedOutput::DeliveryResumed, this, [this, pOutput] {
            m_mapFailing[pOutput] = false;
            emit Resumed(*pOutput);
        });
    }
}

bool OutputWatch::IsFailing(const AccountedOutput& output) const
{
    const auto it = m_mapFailing.find(&output);
    return it != m_mapFailing.end() && it->second;
}

QString OutputWatch::DisplayName(const AccountedOutput& output)
{
    return DisplayName(output.GetName());
}

QString OutputWatch::DisplayName(const QString& name)
{
    if (name == QLatin1String("file"))
        return tr("sentence file");
    if (name == QLatin1String("serial"))
        return tr("serial line");
    if (name == QLatin1String("broker"))
        return tr("broker");
    if (name == QLatin1String("bearings"))
        return tr("bearing file");
    return name;
}
