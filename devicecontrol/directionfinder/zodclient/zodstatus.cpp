#include "devicecontrol/directionfinder/zodclient/zodstatus.h"

#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

const QString ZodStatus::CONNECTING = QStringLiteral("connecting");
const QString ZodStatus::CONNECTED = QStringLiteral("connected");
const QString ZodStatus::DISCONNECTED = QStringLiteral("disconnected");
const QString ZodStatus::REFUSED = QStringLiteral("refused");

namespace
{

const char* const s_aTEXTS[] = {"State", "Error"};
const char* const s_aDELIVERY[] = {"Published", "Acknowledged"};
const char* const s_aOUTCOMES[] = {"Applied",          "IgnoredOutOfRange", "IgnoredUnknownTag", "IgnoredUnfollowed",
                                   "IgnoredMalformed", "Refused",           "Cleared",           "Coalesced"};

} // namespace

ZodStatus::ZodStatus(bool bReceiver)
    : m_strRoot(Root(bReceiver))
{
    values::Tree* pTree = values::Tree::Instance();
    for (const char* pszName : s_aTEXTS)
    {
        m_lstNames << QLatin1String(pszName);
        if (pTree->Find<values::Value<QString>>(m_strRoot + m_lstNames.last()) == nullptr)
            pTree->CreateValue<values::Value<QString>>(m_strRoot + m_lstNames.last(), QString());
    }
    QStringList numbers;
    for (const char* pszName : s_aDELIVERY)
        numbers << QLatin1String(pszName);
    if (bReceiver)
        for (const char* pszName : s_aOUTCOMES)
            numbers << QLatin1String(pszName);
    for (const QString& name : qAsConst(numbers))
    {
        m_lstNames << name;
        if (pTree->Find<values::Value<qint64>>(m_strRoot + name) == nullptr)
            pTree->CreateValue<values::Value<qint64>>(m_strRoot + name, 0);
    }
    SetText(QStringLiteral("State"), DISCONNECTED);
}

ZodStatus::~ZodStatus()
{
    for (const QString& name : qAsConst(m_lstNames))
        values::Tree::Instance()->RemoveValue(m_strRoot + name);
}

QString ZodStatus::Root(bool bReceiver)
{
    return bReceiver ? QStringLiteral("/KVTCONTROL/ZOD/Receiver/") : QStringLiteral("/KVTCONTROL/ZOD/Sender/");
}

void ZodStatus::SetConnection(const QString& state, const QString& error)
{
    SetText(QStringLiteral("State"), state);
    SetText(QStringLiteral("Error"), error);
}

void ZodStatus::SetDelivery(qint64 nPublished, qint64 nAcknowledged)
{
    SetNumber(QStringLiteral("Published"), nPublished);
    SetNumber(QStringLiteral("Acknowledged"), nAcknowledged);
}

void ZodStatus::SetCounts(const ZodFollower::Counts& counts)
{
    const qint64 aCounts[] = {counts.nApplied,   counts.nOutOfRange, counts.nUnknownTag, counts.nUnfollowed,
                              counts.nMalformed, counts.nRefused,    counts.nCleared,    counts.nCoalesced};
    for (size_t i = 0; i < std::size(aCounts); ++i)
        SetNumber(QLatin1String(s_aOUTCOMES[i]), aCounts[i]);
}

void ZodStatus::SetText(const QString& name, const QString& text)
{
    if (auto* pValue = values::Tree::Instance()->Find<values::Value<QString>>(m_strRoot + name))
        if (pValue->GetValue() != text)
            pValue->SetValue(text);
}

void ZodStatus::SetNumber(const QString& name, qint64 nNumber)
{
    if (auto* pValue = values::Tree::Instance()->Find<values::Value<qint64>>(m_strRoot + name))
        if (pValue->GetValue() != nNumber)
            pValue->SetValue(nNumber);
}
