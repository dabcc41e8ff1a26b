#include "base/accountedoutput.h"

AccountedOutput::AccountedOutput(const QString& name, QObject* pParent)
    : QObject(pParent)
    , m_strName(name)
{
}

AccountedOutput::~AccountedOutput() = default;

void AccountedOutput::Offer(quint64 nCount)
{
    m_account.Offer(nCount);
}

void AccountedOutput::Deliver(quint64 nCount)
{
    m_account.Deliver(nCount);
    if (m_bFailing && nCount > 0 && m_account.GetPending() == 0) {
        m_bFailing = false;
        emit DeliveryResumed();
    }
}

void AccountedOutput::Lose(quint64 nCount, Failure eFailure, const QString& reason)
{
    const bool bNew = !m_bFailing || eFailure != m_eFailure || reason != m_account.GetLastFailure();
    m_account.Lose(nCount, reason);
    m_bFailing = true;
    m_eFailure = eFailure;
    if (bNew)
        emit FailureReported(reason);
}

void AccountedOutput::ReportFailure(Failure eFailure, const QString& reason)
{
    Lose(0, eFailure, reason);
}

void AccountedOutput::Notice(const QString& text)
{
    if (m_lstNotices.contains(text))
        return;
    m_lstNotices.append(text);
    emit NoticeReported(text);
}
