#include "devicecontrol/directionfinder/kvtcommon/serialsentencesink.h"

#include "base/serialaddress.h"
#include "devicecontrol/directionfinder/kvtcommon/serialinterface.h"

const QString SerialSentenceSink::NAME = QStringLiteral("serial");

/// The connection, telling the sink what happens to it.
class SerialSentenceSink::Line : public SerialInterface
{
public:
    Line(const QString& address, unsigned short reconnectIntervalMs, SerialSentenceSink& rSink)
        : SerialInterface(address, reconnectIntervalMs)
        , m_rSink(rSink)
    {
    }

    void OnOpen(IInterface* pInterface) override
    {
        SerialInterface::OnOpen(pInterface);
        m_rSink.OnLineOpen();
    }
    void OnError(IInterface* pInterface, int code, const QString& text) override
    {
        SerialInterface::OnError(pInterface, code, text);
        m_rSink.OnLineFailed(text);
    }
    void OnWritten(IInterface* pInterface, qint64 bytes) override
    {
        SerialInterface::OnWritten(pInterface, bytes);
        m_rSink.OnBytesWritten(bytes);
    }

private:
    SerialSentenceSink& m_rSink;
};

SerialSentenceSink::SerialSentenceSink(unsigned short reconnectIntervalMs, QObject* pParent)
    : AccountedOutput(NAME, pParent)
    , m_nReconnectIntervalMs(reconnectIntervalMs)
{
}

SerialSentenceSink::~SerialSentenceSink()
{
    Close();
}

void SerialSentenceSink::Open(const QString& address)
{
    if (m_pLine)
        return;
    SetTarget(address);
    m_bLineOpen = false;
    m_strLineFailure.clear();
    m_pLine = std::make_unique<Line>(address, m_nReconnectIntervalMs, *this);
}

void SerialSentenceSink::Close()
{
    m_pLine.reset();
    m_bLineOpen = false;
    // What still waits when the output closes is what the line was too slow for.
    LoseWaiting(Failure::Overflow, tr("The output was closed before the line took the sentence."));
}

void SerialSentenceSink::Write(const QByteArray& sentence)
{
    Offer(1);
    if (!m_pLine || !m_bLineOpen) {
        if (m_strLineFailure.isEmpty())
            Lose(1, Failure::Open, tr("The line is not open."));
        else
            Lose(1, Failure::Disconnected, tr("The line is down: %1").arg(m_strLineFailure));
        return;
    }
    if (!m_pLine->WriteToInterface(sentence.constData(), sentence.size())) {
        Lose(1, Failure::Overflow, tr("Too many bytes wait for the line."));
        SerialAddress address;
        if (SerialAddress::Parse(GetTarget(), address))
            Notice(tr("At %1 baud the line carries about %2 characters a second, fewer than the sentences need.")
                       .arg(address.m_nBaudRate)
                       .arg(address.m_nBaudRate / 10));
        return;
    }
    m_lstWaiting.push_back(sentence.size());
}

void SerialSentenceSink::OnLineOpen()
{
    m_bLineOpen = true;
    MarkOpen();
}

void SerialSentenceSink::OnLineFailed(const QString& text)
{
    m_bLineOpen = false;
    m_strLineFailure = text;
    const QString reason = tr("The line is down: %1").arg(text);
    if (m_lstWaiting.empty())
        ReportFailure(Failure::Disconnected, reason);
    else
        LoseWaiting(Failure::Disconnected, reason);
}

void SerialSentenceSink::OnBytesWritten(qint64 nBytes)
{
    m_nWrittenOfFirst += nBytes;
    quint64 nDone = 0;
    while (!m_lstWaiting.empty() && m_nWrittenOfFirst >= m_lstWaiting.front()) {
        m_nWrittenOfFirst -= m_lstWaiting.front();
        m_lstWaiting.pop_front();
        ++nDone;
    }
    if (m_lstWaiting.empty())
        m_nWrittenOfFirst = 0;
    Deliver(nDone);
}

void SerialSentenceSink::LoseWaiting(Failure eFailure, const QString& reason)
{
    if (m_lstWaiting.empty())
        return;
    const quint64 nWaiting = m_lstWaiting.size();
    m_lstWaiting.clear();
    m_nWrittenOfFirst = 0;
    Lose(nWaiting, eFailure, reason);
}
